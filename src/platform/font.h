// The built-in 8 x 16 font and the drawing of texts with it.
#pragma once

#include <array>
#include <cstdint>

#include "picture.h"
#include "text.h"

// 16 rows of 96 bytes, top row first; byte n of a row belongs to the glyph
// of code 32 + n, bit k is the pixel in column k (0 leftmost); set = ink.
// Made at build time from the readable glyph file.
extern const std::array<std::uint8_t, 1536> kBuiltinFontBitmap;

class TImageFont {
public:
  static constexpr int kFirstCode = 32;
  static constexpr int kGlyphCount = 96;
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 16;

  explicit TImageFont(const std::array<std::uint8_t, 1536> &bitmap);
  TImage &glyph(int index) { return glyphs[index]; }

private:
  std::array<TImage, kGlyphCount> glyphs;
};

TImageFont &BuiltinFont();
void DrawString(const TText &text, double x, double y);
