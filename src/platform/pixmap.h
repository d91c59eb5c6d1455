// Decoded pixel buffers: grey, RGB or RGBA bytes, row after row.
#pragma once

#include <cstdint>
#include <vector>

enum class TPixelKind { Grey = 1, Rgb = 3, Rgba = 4 };

struct TPixmap {
  int width = 0;
  int height = 0;
  TPixelKind kind = TPixelKind::Rgba;
  std::vector<std::uint8_t> bytes; // width * height * bytesPerPixel()

  int bytesPerPixel() const { return static_cast<int>(kind); }
  bool hasAlpha() const { return kind == TPixelKind::Rgba; }
};
