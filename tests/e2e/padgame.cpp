// pad_game [DONE-FILE] — the game itself, as main.cpp starts it, with an SDL
// virtual pad that lines on standard input work, so test_pad.sh can play it
// with no key, click or touch. One command a line:
//   attach                 plug a pad in (SDL knows its layout: A, B, X, Y, ...)
//   down NAME / up NAME    press or let go a button: a b x y back start lb rb
//                          dup ddown dleft dright
//   tap NAME...            each pressed for a few of the game's frames and let
//                          go for as many, however slowly the frames come
//   wait N                 until the game has finished N more frames
//   detach                 unplug it
// After each command a line "done" is added to DONE-FILE. The pad is plugged
// in while the game runs, as a player's would be.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
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

std::atomic<int> g_frames{0};     // frames the game has finished
void (*g_agePopups)() = nullptr;  // the game's own per-frame hook, wrapped

void CountFrame() {
  ++g_frames;
  if (g_agePopups) g_agePopups();
}

// Waits until the game has finished n more frames, or a screen that waits
// for a button to be let go, drawing nothing, has had a second.
void WaitFrames(int n) {
  const int until = g_frames + n;
  for (int ms = 0; g_frames < until && ms < 1000; ++ms) SDL_Delay(1);
}

// Reads commands until standard input ends. The game's own loop reads the
// pad; SDL locks its joysticks around both.
void DrivePad(const std::string& doneFile) {
  constexpr int kTapFrames = 4;  // a press the game samples at least twice
  int index = -1;
  SDL_Joystick* pad = nullptr;
  for (std::string line; std::getline(std::cin, line);) {
    const size_t space = line.find(' ');
    const std::string command = line.substr(0, space), name = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "tap" && pad) {
      std::istringstream names(name);
      for (std::string one; names >> one;) {
        if (!kButtons.count(one)) continue;
        SDL_JoystickSetVirtualButton(pad, kButtons.at(one), SDL_PRESSED);
        WaitFrames(kTapFrames);
        SDL_JoystickSetVirtualButton(pad, kButtons.at(one), SDL_RELEASED);
        WaitFrames(kTapFrames);
      }
    } else if (command == "wait") {
      WaitFrames(std::atoi(name.c_str()));
    } else if (command == "attach" && !pad) {
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
    if (!doneFile.empty()) std::ofstream(doneFile, std::ios::app) << "done\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  UseSdlBackend();
  RegisterGameHooks();
  g_agePopups = Game.AgePopups;  // called once by every FinishFrame
  Game.AgePopups = CountFrame;
  std::thread(DrivePad, std::string(argc > 1 ? argv[1] : "")).detach();
  StartUp();
  TitleMenu();
}
