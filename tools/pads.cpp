// pads.cpp — pads for the menus around a round, and which hand the player
// last used. Once a frame the pads are sampled in the standard layout
// (presses since the last sample, how long each control has been held), and
// the hand follows the last input: a key or a mouse button, or a pad. The
// prompts name the controls of that hand.
#include "tools/tools.h"

namespace {

// The player's action each movement and the bottom button stand for.
int ActionOfPad(int control) {
  switch (control) {
    case PAD_UP: return ACT_UP;
    case PAD_DOWN: return ACT_DOWN;
    case PAD_LEFT: return ACT_LEFT;
    case PAD_RIGHT: return ACT_RIGHT;
    case PAD_BOTTOM: return ACT_BUTTON1;
    default: return -1;
  }
}

bool JoystickCode(int code) { return code >= JOY_CODE_FIRST && code <= JOY_CODE_LAST; }

// A control held on some pad in the standard layout, or the movements and
// the bottom button through a player's pad binding (the menus must not stop
// answering a pad once a player has bound part of it). The settings panel
// hears every pad, so a pad switched off there can switch itself on again;
// elsewhere only the pads in use.
bool MenuPadDown(int control) {
  const int action = ActionOfPad(control);
  for (int j = 1; j <= JoyCount && j <= 4; ++j) {
    if (!SettingsOpen && JoySlot[j].enabled != 1) continue;
    if (PadDown(j - 1, control)) return true;
  }
  if (action < 0) return false;
  for (int p = 1; p <= 4; ++p) {
    const int code = Keys[KeySlot(p, action)];
    if (JoystickCode(code) && CodeDown(code)) return true;
  }
  return false;
}

const char* const kPadNames[PAD_CONTROLS] = {"Up", "Down", "Left", "Right", "A",  "Start",
                                             "B",  "X",    "Y",    "Back",  "LB", "RB"};

}  // namespace

PadSample Pads;

void ResetPads() { Pads = PadSample{}; }

void SamplePads() {
  for (int c = 0; c < PAD_CONTROLS; ++c) {
    const bool down = MenuPadDown(c);
    Pads.pressed[c] = down && !Pads.held[c];
    Pads.held[c] = down;
    Pads.heldFrames[c] = down ? Pads.heldFrames[c] + 1 : 0;
    if (Pads.pressed[c]) Pads.hand = HAND_PAD;
  }
  // A key or a click since the last sample gives the keyboard's names back.
  const int presses = KeyboardPresses();
  if (presses != Pads.keyPresses) Pads.hand = HAND_KEYS;
  Pads.keyPresses = presses;
}

int InputHand() { return TouchControlsShown() ? HAND_TOUCH : Pads.hand; }

bool PadPressed(int control) {
  return control >= 0 && control < PAD_CONTROLS && !SettingsOpen && Pads.pressed[control];
}

bool PadHeld(int control) { return control >= 0 && control < PAD_CONTROLS && !SettingsOpen && Pads.held[control]; }

bool PadRepeatDue(int control) {
  if (control < 0 || control >= PAD_CONTROLS) return false;
  const int held = Pads.heldFrames[control];
  return Pads.pressed[control] || (held >= PAD_REPEAT_DELAY && (held - PAD_REPEAT_DELAY) % PAD_REPEAT_EVERY == 0);
}

bool PadRepeated(int control) { return !SettingsOpen && PadRepeatDue(control); }

std::string PadName(int control) { return control >= 0 && control < PAD_CONTROLS ? kPadNames[control] : std::string(); }

std::string ControlName(int action, int player) {
  const long slot = (static_cast<long>(player) - 1) * ACTIONS_PER_PLAYER + action;
  const int code = slot >= 0 && slot < 100 ? Keys[slot] : 0;
  if (InputHand() != HAND_PAD) return KeyName(code);
  // A bound pad is named by its binding; the standard layout by its own names.
  if (JoystickCode(code)) {
    const int part = code % 50;
    return part >= 30 ? "Button " + Str(part - 30) : KeyName(code);
  }
  for (int c = 0; c < PAD_CONTROLS; ++c)
    if (ActionOfPad(c) == action) return PadName(c);
  return KeyName(code);
}
