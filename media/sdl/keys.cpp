// SDL key symbols and scancodes to Windows virtual-key codes.
#include "media/sdl/keys.h"

#include <SDL.h>

#include "media/keys.h"

namespace {

struct KeyPair {
  SDL_Scancode scancode;
  int code;
};

// Keys other than letters and digits, by place on the keyboard. The
// punctuation codes are those of a US layout at the same place.
constexpr KeyPair kByScancode[] = {
    {SDL_SCANCODE_RETURN, KEY_ENTER},
    {SDL_SCANCODE_ESCAPE, KEY_ESCAPE},
    {SDL_SCANCODE_BACKSPACE, KEY_BACKSPACE},
    {SDL_SCANCODE_TAB, KEY_TAB},
    {SDL_SCANCODE_SPACE, KEY_SPACE},
    {SDL_SCANCODE_MINUS, KEY_MINUS},
    {SDL_SCANCODE_EQUALS, KEY_EQUALS},
    {SDL_SCANCODE_LEFTBRACKET, KEY_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, KEY_RBRACKET},
    {SDL_SCANCODE_BACKSLASH, KEY_BACKSLASH},
    {SDL_SCANCODE_NONUSHASH, KEY_APOSTROPHE},
    {SDL_SCANCODE_SEMICOLON, KEY_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, KEY_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, KEY_GRAVE},
    {SDL_SCANCODE_COMMA, KEY_COMMA},
    {SDL_SCANCODE_PERIOD, KEY_PERIOD},
    {SDL_SCANCODE_SLASH, KEY_SLASH},
    {SDL_SCANCODE_CAPSLOCK, KEY_CAPSLOCK},
    {SDL_SCANCODE_PRINTSCREEN, KEY_PRINTSCREEN},
    {SDL_SCANCODE_SCROLLLOCK, KEY_SCROLLLOCK},
    {SDL_SCANCODE_PAUSE, KEY_PAUSE},
    {SDL_SCANCODE_INSERT, KEY_INSERT},
    {SDL_SCANCODE_HOME, KEY_HOME},
    {SDL_SCANCODE_PAGEUP, KEY_PAGEUP},
    {SDL_SCANCODE_DELETE, KEY_DELETE},
    {SDL_SCANCODE_END, KEY_END},
    {SDL_SCANCODE_PAGEDOWN, KEY_PAGEDOWN},
    {SDL_SCANCODE_RIGHT, KEY_RIGHT},
    {SDL_SCANCODE_LEFT, KEY_LEFT},
    {SDL_SCANCODE_DOWN, KEY_DOWN},
    {SDL_SCANCODE_UP, KEY_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, KEY_NUMLOCK},
    {SDL_SCANCODE_KP_DIVIDE, KEY_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, KEY_MULTIPLY},
    {SDL_SCANCODE_KP_MINUS, KEY_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, KEY_ADD},
    {SDL_SCANCODE_KP_ENTER, KEY_ENTER},
    {SDL_SCANCODE_KP_PERIOD, KEY_DECIMAL},
    {SDL_SCANCODE_KP_0, KEY_NUMPAD0},
    {SDL_SCANCODE_NONUSBACKSLASH, KEY_ISO_BACKSLASH},
    {SDL_SCANCODE_APPLICATION, KEY_APPS},
    {SDL_SCANCODE_LCTRL, KEY_LCONTROL},
    {SDL_SCANCODE_LSHIFT, KEY_LSHIFT},
    {SDL_SCANCODE_LALT, KEY_LALT},
    {SDL_SCANCODE_LGUI, KEY_LWIN},
    {SDL_SCANCODE_RCTRL, KEY_RCONTROL},
    {SDL_SCANCODE_RSHIFT, KEY_RSHIFT},
    {SDL_SCANCODE_RALT, KEY_RALT},
    {SDL_SCANCODE_RGUI, KEY_RWIN},
    {SDL_SCANCODE_SLEEP, KEY_SLEEP},
};

}  // namespace

int VirtualKeyFromSdl(int symbol, int scancode) {
  if (symbol >= 'a' && symbol <= 'z') return symbol - 'a' + KEY_A;
  if (symbol >= '0' && symbol <= '9') return symbol;
  // Layouts whose letters are not Latin, or whose digit row types other
  // characters, fall back to the key's place.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return KEY_A + scancode - SDL_SCANCODE_A;
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return KEY_1 + scancode - SDL_SCANCODE_1;
  if (scancode == SDL_SCANCODE_0) return KEY_0;
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return KEY_F1 + scancode - SDL_SCANCODE_F1;
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return KEY_F13 + scancode - SDL_SCANCODE_F13;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return KEY_NUMPAD1 + scancode - SDL_SCANCODE_KP_1;
  for (const KeyPair& k : kByScancode)
    if (k.scancode == scancode) return k.code;
  return 0;
}
