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
constexpr int CAPTURE_MAX_BUTTON = 18;   // the capture scan stops here; 19 only via the file

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

void SetDefaultKeys() {
  std::fill(std::begin(Keys), std::end(Keys), 0);
  Keys[0] = 38;   // player 1: arrows and Z
  Keys[3] = 37;
  Keys[5] = 39;
  Keys[8] = 40;
  Keys[10] = 90;
  Keys[20] = 87;  // player 2: W A S D and J
  Keys[23] = 65;
  Keys[25] = 68;
  Keys[28] = 83;
  Keys[30] = 74;
}

int ControlDown(int action, int player) {
  long index = (static_cast<long>(player) - 1) * 20 + action;
  if (index < 0 || index > 100) return 0;
  return CodeDown(Keys[index]);
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
  if (KeyDown(122) || KeyDown(123)) return 0;
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
    case 1: return "Left Mousebutton";
    case 2: return "Right Mousebutton";
    case 3: return "Middle Mousebutton";
    case 8: return "Backspace";
    case 9: return "Tab";
    case 12: return "Clear";
    case 13: return "Return";
    case 19: return "Pause";
    case 20: return "CapsLock";
    case 27: return "Escape";
    case 32: return "Space";
    case 33: return "Page Up";
    case 34: return "Page Down";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 41: return "Select";
    case 42: return "Print";
    case 43: return "Execute";
    case 44: return "Screen";
    case 45: return "Insert";
    case 46: return "Delete";
    case 47: return "Help";
    case 91: return "Sys Left";
    case 92: return "Sys Right";
    case 106: return "*";
    case 107: return "+";
    case 109: return "-";
    case 110: return ".";
    case 111: return "/";
    case 144: return "NumLock";
    case 145: return "ScrollLock";
    case 160: return "LShift";
    case 161: return "RShift";
    case 162: return "LControl";
    case 163: return "RControl";
    case 164: return "LAlt";
    case 165: return "RAlt";
    case 173: return "Mute";
    case 174: return "Volume Down";
    case 175: return "Volume Up";
    case 186: return ";";
    case 187: return "=";
    case 188: return ",";
    case 189: return "-";
    case 190: return ".";
    case 191: return "/";
    case 192: return "'";
    case 219: return "[";
    case 220: return "\\";
    case 221: return "]";
    case 222: return "#";
    case 223: return "`";
    case 226: return "\\";
    default: break;
  }
  if (code >= 48 && code <= 57) return std::string(1, static_cast<char>(code));          // top-row digits
  if (code >= 65 && code <= 90) return std::string(1, static_cast<char>(code));          // letters
  if (code >= 96 && code <= 105) return std::string(1, static_cast<char>('0' + code - 96));  // keypad digits
  if (code >= 112 && code <= 123) return "F" + Str(code - 111);
  // Everything else, joystick codes included, is named by its input part only.
  int part = code % 50;
  if (part >= 0 && part <= 11) return kPartNames[part];
  if (part == PART_HAT_UP) return "Up";
  if (part == PART_HAT_LEFT) return "Left";
  if (part == PART_HAT_RIGHT) return "Right";
  if (part == PART_HAT_DOWN) return "Down";
  return Str(part - PART_BUTTON0);
}

void DiscoverJoysticks() {
  for (auto& slot : JoySlot) slot = JoyRecord{};
  JoyCount = std::clamp(CountJoysticks(), 0, 4);
  for (int j = 1; j <= JoyCount; j++) {
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
