// controls.cpp — the binding table's meaning: input codes, whether an action
// is held, capturing a new binding, the names of codes and joystick discovery.
//
// Input codes: 10..254 keyboard (Windows virtual-key codes); 300..499 joystick
// inputs, code = 250 + 50 * joystick + part; everything else is never held.
#include <algorithm>

#include "shell/globals.h"
#include "tools/tools.h"

namespace {

// Joystick input parts.
constexpr int PART_HAT_UP = 20, PART_HAT_LEFT = 23, PART_HAT_RIGHT = 25, PART_HAT_DOWN = 28;
constexpr int PART_BUTTON0 = 30;
constexpr int CAPTURE_MAX_BUTTON = 18;  // the capture scan stops here; 19 only via the file

// The six axes of a port in the order the parts go: Y, X, Z, U, V, R.
void ReadAxes(int port, float out[6]) {
  out[0] = JoyY(port);
  out[1] = JoyX(port);
  out[2] = JoyZ(port);
  out[3] = JoyU(port);
  out[4] = JoyV(port);
  out[5] = JoyR(port);
}

void RestAxes(const JoyRecord& s, float out[6]) {
  out[0] = s.restY;
  out[1] = s.restX;
  out[2] = s.restZ;
  out[3] = s.restU;
  out[4] = s.restV;
  out[5] = s.restR;
}

// Parts 0..11: even is below rest, odd is above; both strict.
bool AxisPartHeld(int part, float value, float rest) {
  if (part % 2 == 0) return value < rest - AXIS_DEAD_ZONE;
  return value > rest + AXIS_DEAD_ZONE;
}

float AxisOfPart(int part, int port) {
  switch (part / 2) {
    case 0: return JoyY(port);
    case 1: return JoyX(port);
    case 2: return JoyZ(port);
    case 3: return JoyU(port);
    case 4: return JoyV(port);
    default: return JoyR(port);
  }
}

float RestOfPart(int part, const JoyRecord& s) {
  float rest[6];
  RestAxes(s, rest);
  return rest[part / 2];
}

// Hat directions by range, so a diagonal holds both of its directions.
bool HatPartHeld(int part, double h) {
  switch (part) {
    case PART_HAT_UP: return h >= 0 && (h > 0.8 || h < 0.2);
    case PART_HAT_LEFT: return h > 0.6 && h < 0.9;
    case PART_HAT_RIGHT: return h > 0.1 && h < 0.4;
    case PART_HAT_DOWN: return h > 0.3 && h < 0.7;
    default: return false;
  }
}

bool SlotUsable(int j) { return j >= 1 && j <= 4 && j <= JoyCount && JoySlot[j].enabled == 1; }

const char* const kPartNames[12] = {"Y-", "Y+", "X-", "X+", "Z-", "Z+", "U-", "U+", "V-", "V+", "R-", "R+"};

}  // namespace

JoyRecord JoySlot[5];
int JoyCount;

void ResetToolsState() {
  for (auto& slot : JoySlot) slot = JoyRecord{};
  JoyCount = 0;
  SettingsApplying = false;
  PanelPad = PanelPadState{};
  ResetPads();
}

void SetDefaultKeys() {
  std::fill(std::begin(Keys), std::end(Keys), 0);
  Keys[KeySlot(1, ACT_UP)] = KEY_UP;  // player 1: arrows and Z
  Keys[KeySlot(1, ACT_LEFT)] = KEY_LEFT;
  Keys[KeySlot(1, ACT_RIGHT)] = KEY_RIGHT;
  Keys[KeySlot(1, ACT_DOWN)] = KEY_DOWN;
  Keys[KeySlot(1, ACT_BUTTON1)] = KEY_Z;
  Keys[KeySlot(2, ACT_UP)] = KEY_W;  // player 2: W A S D and J
  Keys[KeySlot(2, ACT_LEFT)] = KEY_A;
  Keys[KeySlot(2, ACT_RIGHT)] = KEY_D;
  Keys[KeySlot(2, ACT_DOWN)] = KEY_S;
  Keys[KeySlot(2, ACT_BUTTON1)] = KEY_J;
}

namespace {

// The on-screen control and the standard pad's part that press an action,
// -1 for none.
int TouchOfAction(int action) {
  switch (action) {
    case ACT_UP: return TOUCH_UP;
    case ACT_LEFT: return TOUCH_LEFT;
    case ACT_RIGHT: return TOUCH_RIGHT;
    case ACT_DOWN: return TOUCH_DOWN;
    case ACT_BUTTON1: return TOUCH_JUMP;
    default: return -1;
  }
}

int PadOfAction(int action) {
  switch (action) {
    case ACT_UP: return PAD_UP;
    case ACT_LEFT: return PAD_LEFT;
    case ACT_RIGHT: return PAD_RIGHT;
    case ACT_DOWN: return PAD_DOWN;
    case ACT_BUTTON1: return PAD_BOTTOM;
    default: return -1;
  }
}

int DefaultPadSlot(int player) {
  if (player < 1 || player > DEFAULT_PAD_PLAYERS || player > JoyCount || JoySlot[player].enabled != 1) return 0;
  for (int a = 0; a < ACTIONS_PER_PLAYER; ++a) {
    const int code = Keys[KeySlot(player, a)];
    if (code >= JOY_CODE_FIRST && code <= JOY_CODE_LAST) return 0;  // bound by the player
  }
  return player;
}

}  // namespace

int ControlDown(int action, int player) {
  long index = (static_cast<long>(player) - 1) * ACTIONS_PER_PLAYER + action;
  if (index < 0 || index > 100) return 0;
  if (CodeDown(Keys[index])) return 1;
  // Player 1's on-screen controls, and each player's own pad in the
  // standard layout while they have bound nothing of it; while the settings
  // panel is open that pad works the panel, not the screen behind it.
  if (player == 1 && TouchOfAction(action) >= 0 && TouchDown(TouchOfAction(action))) return 1;
  const int slot = SettingsOpen ? 0 : DefaultPadSlot(player);
  return slot && PadOfAction(action) >= 0 && PadDown(slot - 1, PadOfAction(action)) ? 1 : 0;
}

bool StandardPad(int player) { return DefaultPadSlot(player) != 0; }

bool PauseHeld() {
  if (KeyDown(KEY_ESCAPE) || TouchDown(TOUCH_PAUSE)) return true;
  for (int p = 1; p <= DEFAULT_PAD_PLAYERS; ++p)
    if (DefaultPadSlot(p) && PadDown(p - 1, PAD_START)) return true;
  return false;
}

int CodeDown(int code) {
  if (code >= 10 && code <= 254 && KeyDown(code)) return 1;
  if (code <= 299) return 0;
  int j = code / 50 - 5;
  if (!SlotUsable(j)) return 0;
  int port = j - 1;
  int part = code % 50;
  const JoyRecord& slot = JoySlot[j];
  if (part <= 11) return AxisPartHeld(part, AxisOfPart(part, port), RestOfPart(part, slot)) ? 1 : 0;
  if (part == PART_HAT_UP || part == PART_HAT_LEFT || part == PART_HAT_RIGHT || part == PART_HAT_DOWN)
    return slot.hasHat == 1 && HatPartHeld(part, JoyHat(port)) ? 1 : 0;
  if (part >= PART_BUTTON0) return JoyDown(part - PART_BUTTON0, port) ? 1 : 0;
  return 0;
}

int DetectInput() {
  // F11 and F12 belong to the frame service (screenshot, overlay).
  if (KeyDown(KEY_F11) || KeyDown(KEY_F12)) return 0;
  for (int code = 1; code <= 255; code++)
    if (KeyDown(code)) return code;
  for (int j = 1; j <= JoyCount && j <= 4; j++) {
    if (JoySlot[j].enabled != 1) continue;
    const JoyRecord& slot = JoySlot[j];
    int port = j - 1;
    int base = 50 * j + 250;
    float value[6], rest[6];
    ReadAxes(port, value);
    RestAxes(slot, rest);
    for (int part = 0; part <= 11; part++)
      if (AxisPartHeld(part, value[part / 2], rest[part / 2])) return base + part;
    if (slot.hasHat == 1) {
      // Only the four exact directions are captured, never a diagonal.
      float h = JoyHat(port);
      if (h == 0.0f) return base + PART_HAT_UP;
      if (h == 0.25f) return base + PART_HAT_RIGHT;
      if (h == 0.5f) return base + PART_HAT_DOWN;
      if (h == 0.75f) return base + PART_HAT_LEFT;
    }
    for (int b = 0; b <= CAPTURE_MAX_BUTTON; b++)
      if ((slot.buttonMask >> b) & 1)
        if (JoyDown(b, port)) return base + PART_BUTTON0 + b;
  }
  return 0;
}

std::string KeyName(int code) {
  switch (code) {
    case KEY_LBUTTON: return "Left Mousebutton";
    case KEY_RBUTTON: return "Right Mousebutton";
    case KEY_MBUTTON: return "Middle Mousebutton";
    case KEY_BACKSPACE: return "Backspace";
    case KEY_TAB: return "Tab";
    case KEY_CLEAR: return "Clear";
    case KEY_ENTER: return "Return";
    case KEY_PAUSE: return "Pause";
    case KEY_CAPSLOCK: return "CapsLock";
    case KEY_ESCAPE: return "Escape";
    case KEY_SPACE: return "Space";
    case KEY_PAGEUP: return "Page Up";
    case KEY_PAGEDOWN: return "Page Down";
    case KEY_END: return "End";
    case KEY_HOME: return "Home";
    case KEY_LEFT: return "Left";
    case KEY_UP: return "Up";
    case KEY_RIGHT: return "Right";
    case KEY_DOWN: return "Down";
    case KEY_SELECT: return "Select";
    case KEY_PRINT: return "Print";
    case KEY_EXECUTE: return "Execute";
    case KEY_PRINTSCREEN: return "Screen";
    case KEY_INSERT: return "Insert";
    case KEY_DELETE: return "Delete";
    case KEY_HELP: return "Help";
    case KEY_LWIN: return "Sys Left";
    case KEY_RWIN: return "Sys Right";
    case KEY_MULTIPLY: return "*";
    case KEY_ADD: return "+";
    case KEY_SUBTRACT: return "-";
    case KEY_DECIMAL: return ".";
    case KEY_DIVIDE: return "/";
    case KEY_NUMLOCK: return "NumLock";
    case KEY_SCROLLLOCK: return "ScrollLock";
    case KEY_LSHIFT: return "LShift";
    case KEY_RSHIFT: return "RShift";
    case KEY_LCONTROL: return "LControl";
    case KEY_RCONTROL: return "RControl";
    case KEY_LALT: return "LAlt";
    case KEY_RALT: return "RAlt";
    case KEY_MUTE: return "Mute";
    case KEY_VOLUMEDOWN: return "Volume Down";
    case KEY_VOLUMEUP: return "Volume Up";
    case KEY_SEMICOLON: return ";";
    case KEY_EQUALS: return "=";
    case KEY_COMMA: return ",";
    case KEY_MINUS: return "-";
    case KEY_PERIOD: return ".";
    case KEY_SLASH: return "/";
    case KEY_GRAVE: return "'";
    case KEY_LBRACKET: return "[";
    case KEY_BACKSLASH: return "\\";
    case KEY_RBRACKET: return "]";
    case KEY_APOSTROPHE: return "#";
    case KEY_OEM8: return "`";
    case KEY_ISO_BACKSLASH: return "\\";
    default: break;
  }
  if (code >= KEY_0 && code <= KEY_9) return std::string(1, static_cast<char>(code));  // top-row digits
  if (code >= KEY_A && code <= KEY_Z) return std::string(1, static_cast<char>(code));  // letters
  if (code >= KEY_NUMPAD0 && code <= KEY_NUMPAD9) return std::string(1, static_cast<char>('0' + code - KEY_NUMPAD0));
  if (code >= KEY_F1 && code <= KEY_F12) return "F" + Str(code - KEY_F1 + 1);
  // Everything else, joystick codes included, is named by its input part only.
  int part = code % 50;
  if (part >= 0 && part <= 11) return kPartNames[part];
  if (part == PART_HAT_UP) return "Up";
  if (part == PART_HAT_LEFT) return "Left";
  if (part == PART_HAT_RIGHT) return "Right";
  if (part == PART_HAT_DOWN) return "Down";
  return Str(part - PART_BUTTON0);
}

namespace {

// Slots first .. last from their ports as they read now.
void FillJoySlots(int first, int last) {
  for (int j = first; j <= last; j++) {
    int port = j - 1;
    JoyRecord& slot = JoySlot[j];
    slot.buttonMask = JoyButtonMask(port);
    slot.name = JoyName(port);
    slot.restX = JoyX(port);
    slot.restY = JoyY(port);
    slot.restZ = JoyZ(port);
    slot.restU = JoyU(port);
    slot.restV = JoyV(port);
    slot.restR = JoyR(port);
    slot.enabled = 1;
    slot.hasHat = JoyHat(port) == -1.0f ? 1 : 0;
  }
}

}  // namespace

void DiscoverJoysticks() {
  for (auto& slot : JoySlot) slot = JoyRecord{};
  JoyCount = std::clamp(CountJoysticks(), 0, 4);
  FillJoySlots(1, JoyCount);
}

void FindNewJoysticks() {
  const int count = std::clamp(CountJoysticks(), 0, 4);
  if (count == JoyCount) return;
  // When one goes the ports behind it move down: every slot is found again.
  if (count < JoyCount) return DiscoverJoysticks();
  const int first = JoyCount + 1;
  JoyCount = count;
  FillJoySlots(first, count);
}
