// pad_game — the game itself, as main.cpp starts it, with an SDL virtual pad
// that lines on standard input work, so test_pad.sh can play it with no key,
// click or touch. One command a line:
//   attach                 plug a pad in (SDL knows its layout: A, B, X, Y, ...)
//   down NAME / up NAME    press or let go a button: a b x y back start lb rb
//                          dup ddown dleft dright
//   detach                 unplug it
// The pad is plugged in while the game runs, as a player's would be.
#include <SDL.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <thread>

#include "game/game.h"
#include "media/media.h"
#include "shell/shell.h"

namespace {

const std::map<std::string, SDL_GameControllerButton> kButtons = {
    {"a", SDL_CONTROLLER_BUTTON_A},
    {"b", SDL_CONTROLLER_BUTTON_B},
    {"x", SDL_CONTROLLER_BUTTON_X},
    {"y", SDL_CONTROLLER_BUTTON_Y},
    {"back", SDL_CONTROLLER_BUTTON_BACK},
    {"start", SDL_CONTROLLER_BUTTON_START},
    {"lb", SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
    {"rb", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {"dup", SDL_CONTROLLER_BUTTON_DPAD_UP},
    {"ddown", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {"dleft", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {"dright", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
};

// A pad of the standard kind: every button and axis at its own number, so
// SDL maps it as a game controller.
int AttachPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
  desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
  desc.name = "Test Pad";
  return SDL_JoystickAttachVirtualEx(&desc);
}

// Reads commands until standard input ends. The game's own loop reads the
// pad; SDL locks its joysticks around both.
void DrivePad() {
  int index = -1;
  SDL_Joystick* pad = nullptr;
  for (std::string line; std::getline(std::cin, line);) {
    const size_t space = line.find(' ');
    const std::string command = line.substr(0, space), name = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "attach" && !pad) {
      index = AttachPad();
      pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
      if (!pad) std::fprintf(stderr, "pad_game: no virtual pad: %s\n", SDL_GetError());
    } else if (command == "detach" && pad) {
      SDL_JoystickClose(pad);
      SDL_JoystickDetachVirtual(index);
      pad = nullptr;
    } else if ((command == "down" || command == "up") && pad && kButtons.count(name)) {
      SDL_JoystickSetVirtualButton(pad, kButtons.at(name), command == "down" ? SDL_PRESSED : SDL_RELEASED);
    } else {
      std::fprintf(stderr, "pad_game: not understood: %s\n", line.c_str());
    }
  }
}

}  // namespace

int main() {
  UseSdlBackend();
  RegisterGameHooks();
  std::thread(DrivePad).detach();
  StartUp();
  TitleMenu();
}
