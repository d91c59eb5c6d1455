// Makes the game's menu icon at one size from a picture of its art: enlarged
// by the largest whole factor that fits, centred, black made see-through.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <png.h>

#include "platform/png.h"

int main(int argc, char **argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_icon PICTURE.png SIZE ICON.png\n");
    return 2;
  }
  const std::optional<TPixmap> art = DecodePngFile(argv[1]);
  const int size = std::atoi(argv[2]);
  if (!art || art->width <= 0 || art->height <= 0 || size <= 0) {
    std::fprintf(stderr, "make_icon: cannot read %s or bad size %s\n", argv[1], argv[2]);
    return 1;
  }
  // Whole factors keep every pixel of the art the same size; a picture
  // larger than the icon is shown at 1x, cut to the icon.
  const int longest = art->width > art->height ? art->width : art->height;
  const int factor = longest < size ? size / longest : 1;
  const int left = (size - art->width * factor) / 2, top = (size - art->height * factor) / 2;
  const int bpp = art->bytesPerPixel();
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int ax = x - left, ay = y - top;
      if (ax < 0 || ay < 0 || ax >= art->width * factor || ay >= art->height * factor)
        continue;
      const std::uint8_t *p =
          &art->bytes[(static_cast<std::size_t>(ay / factor) * art->width + ax / factor) * bpp];
      const std::uint8_t r = p[0], g = bpp >= 3 ? p[1] : p[0], b = bpp >= 3 ? p[2] : p[0];
      // Black is the art's see-through colour.
      const std::uint8_t a = bpp == 4 ? p[3] : ((r | g | b) != 0 ? 255 : 0);
      std::uint8_t *q = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
      q[0] = r;
      q[1] = g;
      q[2] = b;
      q[3] = a;
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  const bool written = png_image_write_to_file(&image, argv[3], 0, rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  if (!written) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
