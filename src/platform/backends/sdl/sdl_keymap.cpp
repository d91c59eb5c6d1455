// The table from SDL's keys to the game's key codes.
#include "sdl_keymap.h"

namespace {

// Keys whose meaning depends on the layout: they type a letter or a sign.
bool typesCharacter(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
    return true;
  switch (sc) {
  case SDL_SCANCODE_MINUS:
  case SDL_SCANCODE_EQUALS:
  case SDL_SCANCODE_LEFTBRACKET:
  case SDL_SCANCODE_RIGHTBRACKET:
  case SDL_SCANCODE_BACKSLASH:
  case SDL_SCANCODE_NONUSHASH:
  case SDL_SCANCODE_SEMICOLON:
  case SDL_SCANCODE_APOSTROPHE:
  case SDL_SCANCODE_GRAVE:
  case SDL_SCANCODE_COMMA:
  case SDL_SCANCODE_PERIOD:
  case SDL_SCANCODE_SLASH:
  case SDL_SCANCODE_NONUSBACKSLASH:
    return true;
  default:
    return false;
  }
}

// The code of the key that types this sign, 0 for signs without one.
int codeOfSign(SDL_Keycode sym) {
  switch (sym) {
  case SDLK_SEMICOLON:
    return 186;
  case SDLK_EQUALS:
    return 187;
  case SDLK_COMMA:
    return 188;
  case SDLK_MINUS:
    return 189;
  case SDLK_PERIOD:
    return 190;
  case SDLK_SLASH:
    return 191;
  case SDLK_BACKQUOTE:
    return 192;
  case SDLK_LEFTBRACKET:
    return 219;
  case SDLK_BACKSLASH:
    return 220;
  case SDLK_RIGHTBRACKET:
    return 221;
  case SDLK_QUOTE:
    return 222;
  default:
    return 0;
  }
}

// The code of a key known by what it types: a main-row digit, a letter,
// Enter, Escape, Backspace, Tab, Space or Delete; 0 for any other symbol.
int codeOfTypedKey(SDL_Keycode sym) {
  if (sym >= SDLK_0 && sym <= SDLK_9)
    return 48 + (sym - SDLK_0);
  if (sym >= SDLK_a && sym <= SDLK_z)
    return 65 + (sym - SDLK_a);
  switch (sym) {
  case SDLK_RETURN:
    return 13;
  case SDLK_ESCAPE:
    return 27;
  case SDLK_BACKSPACE:
    return 8;
  case SDLK_TAB:
    return 9;
  case SDLK_SPACE:
    return 32;
  case SDLK_DELETE:
    return 46;
  default:
    return 0;
  }
}

// The code of a key by its position on a US keyboard.
int codeOfPosition(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
    return 65 + (sc - SDL_SCANCODE_A);
  // SDL numbers both rows 1..9 then 0.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
    return 49 + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
    return 97 + (sc - SDL_SCANCODE_KP_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
    return 112 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24)
    return 124 + (sc - SDL_SCANCODE_F13);
  switch (sc) {
  case SDL_SCANCODE_0:
    return 48;
  case SDL_SCANCODE_KP_0:
    return 96;
  case SDL_SCANCODE_KP_MULTIPLY:
    return 106;
  case SDL_SCANCODE_KP_PLUS:
    return 107;
  case SDL_SCANCODE_KP_COMMA:
  case SDL_SCANCODE_SEPARATOR:
    return 108;
  case SDL_SCANCODE_KP_MINUS:
    return 109;
  case SDL_SCANCODE_KP_PERIOD:
  case SDL_SCANCODE_KP_DECIMAL:
    return 110;
  case SDL_SCANCODE_KP_DIVIDE:
    return 111;
  case SDL_SCANCODE_KP_ENTER:
  case SDL_SCANCODE_RETURN:
  case SDL_SCANCODE_RETURN2:
    return 13;
  case SDL_SCANCODE_NUMLOCKCLEAR:
    return 144;
  case SDL_SCANCODE_BACKSPACE:
    return 8;
  case SDL_SCANCODE_TAB:
    return 9;
  case SDL_SCANCODE_CLEAR:
  case SDL_SCANCODE_KP_CLEAR:
    return 12;
  case SDL_SCANCODE_PAUSE:
    return 19;
  case SDL_SCANCODE_CAPSLOCK:
    return 20;
  case SDL_SCANCODE_LANG1:
    return 21; // Hangul
  case SDL_SCANCODE_LANG2:
    return 25; // Hanja
  case SDL_SCANCODE_INTERNATIONAL4:
    return 28; // Henkan
  case SDL_SCANCODE_INTERNATIONAL5:
    return 29; // Muhenkan
  case SDL_SCANCODE_ESCAPE:
    return 27;
  case SDL_SCANCODE_SPACE:
    return 32;
  case SDL_SCANCODE_PAGEUP:
    return 33;
  case SDL_SCANCODE_PAGEDOWN:
    return 34;
  case SDL_SCANCODE_END:
    return 35;
  case SDL_SCANCODE_HOME:
    return 36;
  case SDL_SCANCODE_LEFT:
    return 37;
  case SDL_SCANCODE_UP:
    return 38;
  case SDL_SCANCODE_RIGHT:
    return 39;
  case SDL_SCANCODE_DOWN:
    return 40;
  case SDL_SCANCODE_SELECT:
    return 41;
  case SDL_SCANCODE_EXECUTE:
    return 43;
  case SDL_SCANCODE_PRINTSCREEN:
  case SDL_SCANCODE_SYSREQ:
    return 44;
  case SDL_SCANCODE_INSERT:
    return 45;
  case SDL_SCANCODE_DELETE:
    return 46;
  case SDL_SCANCODE_HELP:
    return 47;
  case SDL_SCANCODE_LGUI:
    return 91;
  case SDL_SCANCODE_RGUI:
    return 92;
  case SDL_SCANCODE_APPLICATION:
  case SDL_SCANCODE_MENU:
    return 93;
  case SDL_SCANCODE_SLEEP:
    return 95;
  case SDL_SCANCODE_SCROLLLOCK:
    return 145;
  case SDL_SCANCODE_LSHIFT:
    return 160;
  case SDL_SCANCODE_RSHIFT:
    return 161;
  case SDL_SCANCODE_LCTRL:
    return 162;
  case SDL_SCANCODE_RCTRL:
    return 163;
  case SDL_SCANCODE_LALT:
    return 164;
  case SDL_SCANCODE_RALT:
  case SDL_SCANCODE_MODE: // AltGr on some layouts
    return 165;
  case SDL_SCANCODE_AC_BACK:
    return 166;
  case SDL_SCANCODE_AC_FORWARD:
    return 167;
  case SDL_SCANCODE_AC_REFRESH:
    return 168;
  case SDL_SCANCODE_AC_STOP:
    return 169;
  case SDL_SCANCODE_AC_SEARCH:
    return 170;
  case SDL_SCANCODE_AC_BOOKMARKS:
    return 171;
  case SDL_SCANCODE_AC_HOME:
    return 172;
  case SDL_SCANCODE_MUTE:
  case SDL_SCANCODE_AUDIOMUTE:
    return 173;
  case SDL_SCANCODE_VOLUMEDOWN:
    return 174;
  case SDL_SCANCODE_VOLUMEUP:
    return 175;
  case SDL_SCANCODE_AUDIONEXT:
    return 176;
  case SDL_SCANCODE_AUDIOPREV:
    return 177;
  case SDL_SCANCODE_AUDIOSTOP:
    return 178;
  case SDL_SCANCODE_AUDIOPLAY:
    return 179;
  case SDL_SCANCODE_MAIL:
    return 180;
  case SDL_SCANCODE_MEDIASELECT:
    return 181;
  case SDL_SCANCODE_COMPUTER:
    return 182;
  case SDL_SCANCODE_CALCULATOR:
    return 183;
  case SDL_SCANCODE_SEMICOLON:
    return 186;
  case SDL_SCANCODE_EQUALS:
    return 187;
  case SDL_SCANCODE_COMMA:
    return 188;
  case SDL_SCANCODE_MINUS:
    return 189;
  case SDL_SCANCODE_PERIOD:
    return 190;
  case SDL_SCANCODE_SLASH:
    return 191;
  case SDL_SCANCODE_GRAVE:
    return 192;
  case SDL_SCANCODE_LEFTBRACKET:
    return 219;
  case SDL_SCANCODE_BACKSLASH:
  case SDL_SCANCODE_NONUSHASH:
  case SDL_SCANCODE_INTERNATIONAL3: // Yen
    return 220;
  case SDL_SCANCODE_RIGHTBRACKET:
    return 221;
  case SDL_SCANCODE_APOSTROPHE:
    return 222;
  case SDL_SCANCODE_NONUSBACKSLASH:
  case SDL_SCANCODE_INTERNATIONAL1: // Ro
    return 226;
  default:
    return 0;
  }
}

} // namespace

int KeyCodeFromSdl(SDL_Scancode scancode, SDL_Keycode sym) {
  // The key that types Q answers 81 wherever the layout puts it. A virtual
  // keyboard (a key sender, an on-screen keyboard) numbers its keys as it
  // likes, and under X (XWayland too) SDL then gives positions its keys do
  // not have: what a key types names it, where it types a digit or one of
  // the few keys that type the same on every layout.
  if (int typed = codeOfTypedKey(sym); typed != 0)
    return typed;
  if (typesCharacter(scancode))
    if (int sign = codeOfSign(sym); sign != 0)
      return sign;
  return codeOfPosition(scancode);
}
