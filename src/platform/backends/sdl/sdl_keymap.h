// The keyboard's keys as the game's key codes (the Windows virtual-key codes).
#pragma once

#include <SDL.h>

// The key code of a key, or 0 when the key has none (it then sends no event).
// Letters and punctuation follow the keyboard layout (sym), and so do the
// keys that type a digit, Enter, Escape, Backspace, Tab, Space or Delete
// wherever they sit (a virtual keyboard's positions are its own); every
// other key, the main-row digits of layouts that type signs there among
// them, is known by its position (scancode).
int KeyCodeFromSdl(SDL_Scancode scancode, SDL_Keycode sym);
