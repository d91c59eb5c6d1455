// Our two hand-drawn pixel fonts: 3 x 5 digits for item numbers, 5 x 9 letters for labels.
#pragma once

#include <string_view>

#include "canvas.h"

// Width in pixels of a number in the 3 x 5 digits (1 pixel between digits).
int smallNumberWidth(int value);
// Draws value (0 or more) in the 3 x 5 digits with its top-left at (x, y).
void drawSmallNumber(Canvas &c, int x, int y, int value, Rgb colour);

// The letter font: 5 pixels wide, capitals 7 high, descenders 2 more below.
constexpr int kLetterAdvance = 6;
constexpr int kLetterHeight = 9;

// Width in pixels of a text drawn at the given scale.
int textWidth(std::string_view text, int scale);
// Draws text with its top-left at (x, y), each font pixel a scale x scale block.
// Throws std::invalid_argument for a character the font has no glyph for.
void drawText(Canvas &c, int x, int y, std::string_view text, Rgb colour, int scale = 1);
// The same with a one-font-pixel shadow below and to the right.
void drawTextShadowed(Canvas &c, int x, int y, std::string_view text, Rgb colour, Rgb shadow,
                      int scale = 1);
