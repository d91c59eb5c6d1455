// PNG writing through libpng's simplified interface.
#include "png_write.h"

#include <png.h>

bool WriteRgbPng(const std::string &fileName, int width, int height,
                 const std::vector<std::uint8_t> &rgb) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const bool written =
      png_image_write_to_file(&image, fileName.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return written;
}

bool WriteFramePng(const std::string &fileName, const std::uint32_t *pixels, int width,
                   int height) {
  if (pixels == nullptr || width <= 0 || height <= 0)
    return false;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> rgb(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    rgb[i * 3] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(pixels[i]);
  }
  return WriteRgbPng(fileName, width, height, rgb);
}
