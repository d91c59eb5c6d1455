// The key table: letters, digits and signs follow the layout, every other key
// its position, and keys the game has no code for send nothing.
#include <gtest/gtest.h>

#include <ostream>

#include "sdl_keymap.h"

namespace {

struct KeyCase {
  const char *what;
  SDL_Scancode scancode;
  SDL_Keycode sym;
  int code;
};

void PrintTo(const KeyCase &c, std::ostream *os) {
  *os << c.what;
}

class KeyCodeFromSdlTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyCodeFromSdlTest, GivesTheGameCode) {
  const KeyCase &c = GetParam();
  EXPECT_EQ(KeyCodeFromSdl(c.scancode, c.sym), c.code) << c.what;
}

// clang-format off
const KeyCase kUsLayout[] = {
  {"A", SDL_SCANCODE_A, SDLK_a, 65},
  {"Z", SDL_SCANCODE_Z, SDLK_z, 90},
  {"main-row 1", SDL_SCANCODE_1, SDLK_1, 49},
  {"main-row 9", SDL_SCANCODE_9, SDLK_9, 57},
  {"main-row 0", SDL_SCANCODE_0, SDLK_0, 48},
  {"keypad 1", SDL_SCANCODE_KP_1, SDLK_KP_1, 97},
  {"keypad 5", SDL_SCANCODE_KP_5, SDLK_KP_5, 101},
  {"keypad 9", SDL_SCANCODE_KP_9, SDLK_KP_9, 105},
  {"keypad 0", SDL_SCANCODE_KP_0, SDLK_KP_0, 96},
  {"keypad 5 without NumLock", SDL_SCANCODE_KP_5, SDLK_UNKNOWN, 101},
  {"keypad *", SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 106},
  {"keypad +", SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 107},
  {"keypad -", SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 109},
  {"keypad .", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 110},
  {"keypad /", SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 111},
  {"keypad Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
  {"Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
  {"NumLock", SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 144},
  {"left Shift", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 160},
  {"right Shift", SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 161},
  {"left Control", SDL_SCANCODE_LCTRL, SDLK_LCTRL, 162},
  {"right Control", SDL_SCANCODE_RCTRL, SDLK_RCTRL, 163},
  {"left Alt", SDL_SCANCODE_LALT, SDLK_LALT, 164},
  {"right Alt", SDL_SCANCODE_RALT, SDLK_RALT, 165},
  {"left GUI", SDL_SCANCODE_LGUI, SDLK_LGUI, 91},
  {"right GUI", SDL_SCANCODE_RGUI, SDLK_RGUI, 92},
  {"Application", SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 93},
  {"F1", SDL_SCANCODE_F1, SDLK_F1, 112},
  {"F12", SDL_SCANCODE_F12, SDLK_F12, 123},
  {"F13", SDL_SCANCODE_F13, SDLK_F13, 124},
  {"F24", SDL_SCANCODE_F24, SDLK_F24, 135},
  {"Left", SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
  {"Up", SDL_SCANCODE_UP, SDLK_UP, 38},
  {"Right", SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
  {"Down", SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
  {"Insert", SDL_SCANCODE_INSERT, SDLK_INSERT, 45},
  {"Delete", SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
  {"Home", SDL_SCANCODE_HOME, SDLK_HOME, 36},
  {"End", SDL_SCANCODE_END, SDLK_END, 35},
  {"PageUp", SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
  {"PageDown", SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
  {"Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
  {"Tab", SDL_SCANCODE_TAB, SDLK_TAB, 9},
  {"Pause", SDL_SCANCODE_PAUSE, SDLK_PAUSE, 19},
  {"CapsLock", SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 20},
  {"Escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
  {"Space", SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
  {"PrintScreen", SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, 44},
  {"ScrollLock", SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, 145},
  {";", SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 186},
  {"=", SDL_SCANCODE_EQUALS, SDLK_EQUALS, 187},
  {",", SDL_SCANCODE_COMMA, SDLK_COMMA, 188},
  {"-", SDL_SCANCODE_MINUS, SDLK_MINUS, 189},
  {".", SDL_SCANCODE_PERIOD, SDLK_PERIOD, 190},
  {"/", SDL_SCANCODE_SLASH, SDLK_SLASH, 191},
  {"`", SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 192},
  {"[", SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, 219},
  {"\\", SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, 220},
  {"]", SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, 221},
  {"'", SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 222},
  {"ISO extra key", SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, 226},
};
INSTANTIATE_TEST_SUITE_P(UsLayout, KeyCodeFromSdlTest, testing::ValuesIn(kUsLayout));

// On a French keyboard the key where a US one has Q types A, the one beside
// L types M, and the main row types signs unshifted.
const KeyCase kFrenchLayout[] = {
  {"key that types A", SDL_SCANCODE_Q, SDLK_a, 65},
  {"key that types Q", SDL_SCANCODE_A, SDLK_q, 81},
  {"key that types Z", SDL_SCANCODE_W, SDLK_z, 90},
  {"key that types W", SDL_SCANCODE_Z, SDLK_w, 87},
  {"key that types M", SDL_SCANCODE_SEMICOLON, SDLK_m, 77},
  {"key that types a comma", SDL_SCANCODE_M, SDLK_COMMA, 188},
  {"key that types a semicolon", SDL_SCANCODE_COMMA, SDLK_SEMICOLON, 186},
  {"key that types a colon", SDL_SCANCODE_PERIOD, SDLK_COLON, 190},
  {"main-row 1, typing &", SDL_SCANCODE_1, SDLK_AMPERSAND, 49},
  {"main-row 2, typing e acute", SDL_SCANCODE_2, 0xE9, 50},
  {"main-row 0, typing a grave", SDL_SCANCODE_0, 0xE0, 48},
  {"dead circumflex", SDL_SCANCODE_LEFTBRACKET, 0xFE52, 219},
  {"keypad 5", SDL_SCANCODE_KP_5, SDLK_KP_5, 101},
};
INSTANTIATE_TEST_SUITE_P(FrenchLayout, KeyCodeFromSdlTest, testing::ValuesIn(kFrenchLayout));

// A layout without Latin letters keeps the letters where a US keyboard has them.
const KeyCase kRussianLayout[] = {
  {"key that types ef", SDL_SCANCODE_A, 0x0444, 65},
  {"key that types ya", SDL_SCANCODE_Z, 0x044F, 90},
};
INSTANTIATE_TEST_SUITE_P(RussianLayout, KeyCodeFromSdlTest, testing::ValuesIn(kRussianLayout));

// A key sender or an on-screen keyboard numbers its keys as it likes: its
// key numbers are no positions, what the keys type is.
const KeyCase kVirtualKeyboard[] = {
  {"2 on the Escape key's number", SDL_SCANCODE_ESCAPE, SDLK_2, 50},
  {"7 on main-row 1's number", SDL_SCANCODE_1, SDLK_7, 55},
  {"0 on F1's number", SDL_SCANCODE_F1, SDLK_0, 48},
  {"x on main-row 2's number", SDL_SCANCODE_2, SDLK_x, 88},
  {"Escape on main-row 3's number", SDL_SCANCODE_3, SDLK_ESCAPE, 27},
  {"Enter on Q's number", SDL_SCANCODE_Q, SDLK_RETURN, 13},
  {"Backspace on Tab's number", SDL_SCANCODE_TAB, SDLK_BACKSPACE, 8},
  {"Space on Enter's number", SDL_SCANCODE_RETURN, SDLK_SPACE, 32},
};
INSTANTIATE_TEST_SUITE_P(VirtualKeyboard, KeyCodeFromSdlTest, testing::ValuesIn(kVirtualKeyboard));

const KeyCase kNoCode[] = {
  {"keypad =", SDL_SCANCODE_KP_EQUALS, SDLK_KP_EQUALS, 0},
  {"unknown", SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0},
  {"brightness up", SDL_SCANCODE_BRIGHTNESSUP, SDLK_BRIGHTNESSUP, 0},
};
INSTANTIATE_TEST_SUITE_P(NoCode, KeyCodeFromSdlTest, testing::ValuesIn(kNoCode));
// clang-format on

} // namespace
