// keys.h — names of the key codes of the media layer's contract: Windows
// virtual-key codes, the same on every keyboard layout for letters and digits
// (the key labelled Z is KEY_Z), by place on the keyboard for the rest.
// Punctuation keys are named by what they type on a US layout.
#pragma once

// Mouse buttons, as the binding table names them (never held as keys).
constexpr int KEY_LBUTTON = 1, KEY_RBUTTON = 2, KEY_MBUTTON = 3;

constexpr int KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_CLEAR = 12, KEY_ENTER = 13;
constexpr int KEY_PAUSE = 19, KEY_CAPSLOCK = 20, KEY_ESCAPE = 27, KEY_SPACE = 32;
constexpr int KEY_PAGEUP = 33, KEY_PAGEDOWN = 34, KEY_END = 35, KEY_HOME = 36;
constexpr int KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40;
constexpr int KEY_SELECT = 41, KEY_PRINT = 42, KEY_EXECUTE = 43, KEY_PRINTSCREEN = 44;
constexpr int KEY_INSERT = 45, KEY_DELETE = 46, KEY_HELP = 47;

// Top-row digits and letters: their own character codes.
constexpr int KEY_0 = '0', KEY_1 = '1', KEY_2 = '2', KEY_3 = '3', KEY_4 = '4';
constexpr int KEY_5 = '5', KEY_6 = '6', KEY_7 = '7', KEY_8 = '8', KEY_9 = '9';
constexpr int KEY_A = 'A', KEY_B = 'B', KEY_C = 'C', KEY_D = 'D', KEY_E = 'E', KEY_F = 'F', KEY_G = 'G';
constexpr int KEY_H = 'H', KEY_I = 'I', KEY_J = 'J', KEY_K = 'K', KEY_L = 'L', KEY_M = 'M', KEY_N = 'N';
constexpr int KEY_O = 'O', KEY_P = 'P', KEY_Q = 'Q', KEY_R = 'R', KEY_S = 'S', KEY_T = 'T', KEY_U = 'U';
constexpr int KEY_V = 'V', KEY_W = 'W', KEY_X = 'X', KEY_Y = 'Y', KEY_Z = 'Z';

constexpr int KEY_LWIN = 91, KEY_RWIN = 92, KEY_APPS = 93, KEY_SLEEP = 95;
constexpr int KEY_NUMPAD0 = 96, KEY_NUMPAD1 = 97, KEY_NUMPAD9 = 105;  // 96..105 in order
constexpr int KEY_MULTIPLY = 106, KEY_ADD = 107, KEY_SUBTRACT = 109, KEY_DECIMAL = 110, KEY_DIVIDE = 111;
constexpr int KEY_F1 = 112, KEY_F4 = 115, KEY_F11 = 122, KEY_F12 = 123, KEY_F13 = 124;  // F1..F24 in order
constexpr int KEY_NUMLOCK = 144, KEY_SCROLLLOCK = 145;
constexpr int KEY_LSHIFT = 160, KEY_RSHIFT = 161, KEY_LCONTROL = 162, KEY_RCONTROL = 163;
constexpr int KEY_LALT = 164, KEY_RALT = 165;
constexpr int KEY_MUTE = 173, KEY_VOLUMEDOWN = 174, KEY_VOLUMEUP = 175;
constexpr int KEY_SEMICOLON = 186, KEY_EQUALS = 187, KEY_COMMA = 188, KEY_MINUS = 189, KEY_PERIOD = 190;
constexpr int KEY_SLASH = 191, KEY_GRAVE = 192, KEY_LBRACKET = 219, KEY_BACKSLASH = 220;
constexpr int KEY_RBRACKET = 221, KEY_APOSTROPHE = 222, KEY_OEM8 = 223, KEY_ISO_BACKSLASH = 226;
