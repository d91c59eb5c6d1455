// Makes the game's icon at one size from a picture of its art: enlarged by
// the largest whole factor that fits, centred, black made see-through. A name
// ending in .ico gets a Windows icon file holding that picture as a PNG.
// Usage: make_icon PICTURE.png SIZE ICON.png|ICON.ico
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <png.h>

#include "platform/png.h"

namespace {
void put16(std::vector<unsigned char> &out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value & 0xFF));
  out.push_back(static_cast<unsigned char>(value >> 8));
}
void put32(std::vector<unsigned char> &out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

bool endsWith(const std::string &name, const std::string &end) {
  return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

// One picture of up to 256 x 256 pixels, stored as a PNG, which Windows reads since Vista.
bool writeIconFile(png_image &image, const std::vector<std::uint8_t> &rgba, const char *name) {
  png_alloc_size_t bytes = 0;
  if (!png_image_write_get_memory_size(image, bytes, 0, rgba.data(), 0, nullptr))
    return false;
  std::vector<unsigned char> picture(bytes);
  if (!png_image_write_to_memory(&image, picture.data(), &bytes, 0, rgba.data(), 0, nullptr))
    return false;
  picture.resize(bytes);
  std::vector<unsigned char> icon;
  put16(icon, 0);
  put16(icon, 1);                                                 // an icon
  put16(icon, 1);                                                 // one picture
  icon.push_back(static_cast<unsigned char>(image.width & 0xFF)); // 0 stands for 256
  icon.push_back(static_cast<unsigned char>(image.height & 0xFF));
  icon.push_back(0); // no palette
  icon.push_back(0);
  put16(icon, 1);  // colour planes
  put16(icon, 32); // bits a pixel
  put32(icon, static_cast<std::uint32_t>(picture.size()));
  put32(icon, 6 + 16); // where the picture starts
  icon.insert(icon.end(), picture.begin(), picture.end());
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(icon.data()), static_cast<std::streamsize>(icon.size()));
  return static_cast<bool>(out);
}
} // namespace

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
  const bool written =
      endsWith(argv[3], ".ico")
          ? size <= 256 && writeIconFile(image, rgba, argv[3])
          : png_image_write_to_file(&image, argv[3], 0, rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  if (!written) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
