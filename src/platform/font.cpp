// The built-in font's glyph pictures and the drawing of texts.
#include "font.h"

TImageFont::TImageFont(const std::array<std::uint8_t, 1536> &bitmap) {
  for (int g = 0; g < kGlyphCount; ++g) {
    TImage &image = glyphs[static_cast<std::size_t>(g)];
    image.width = kCellWidth;
    image.height = kCellHeight;
    image.flags = 0;
    image.frames.resize(1);
    TPixmap ink;
    ink.width = kCellWidth;
    ink.height = kCellHeight;
    ink.kind = TPixelKind::Rgba;
    ink.bytes.assign(kCellWidth * kCellHeight * 4, 0);
    for (int row = 0; row < kCellHeight; ++row) {
      const std::uint8_t bits = bitmap[static_cast<std::size_t>(row * kGlyphCount + g)];
      for (int col = 0; col < kCellWidth; ++col) {
        if (bits & (1u << col)) {
          std::uint8_t *p = ink.bytes.data() + (row * kCellWidth + col) * 4;
          p[0] = p[1] = p[2] = p[3] = 255;
        }
      }
    }
    image.setFrame(0, std::move(ink));
  }
}

TImageFont &BuiltinFont() {
  static TImageFont font(kBuiltinFontBitmap);
  return font;
}

void DrawString(const TText &text, double x, double y) {
  TImageFont &font = BuiltinFont();
  double pen = x;
  for (char16_t c : text) {
    if (c < TImageFont::kFirstCode || c >= TImageFont::kFirstCode + TImageFont::kGlyphCount)
      continue; // not in the font: nothing drawn, the pen stays
    DrawImageFrame(font.glyph(c - TImageFont::kFirstCode), 0, pen, y, TImageFont::kCellWidth,
                   TImageFont::kCellHeight);
    pen += TImageFont::kCellWidth;
  }
}
