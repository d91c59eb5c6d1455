// Golden-frame comparison and PNG writing for the tests.
#include "golden.h"

#include <cstdio>
#include <cstdlib>
#include <png.h>

#include "platform/png.h"

namespace {
std::string goldenPath(const std::string &name) {
  return std::string(DRAYVANE_SOURCE_DIR) + "/tests/golden/" + name + ".png";
}

std::string hexColour(std::uint32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", c & 0xFFFFFF);
  return text;
}
} // namespace

bool WriteFramePng(const std::string &fileName, const std::vector<std::uint32_t> &pixels, int width,
                   int height) {
  if (pixels.size() != static_cast<std::size_t>(width) * height)
    return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(pixels.size() * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(pixels[i]);
  }
  return png_image_write_to_file(&image, fileName.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

::testing::AssertionResult MatchesGolden(const std::string &name,
                                         const std::vector<std::uint32_t> &pixels, int width,
                                         int height) {
  const std::string path = goldenPath(name);
  const char *regenerate = std::getenv("DRAYVANE_REGENERATE_GOLDENS");
  if (regenerate && std::string(regenerate) == "1") {
    if (!WriteFramePng(path, pixels, width, height))
      return ::testing::AssertionFailure() << "could not write " << path;
    return ::testing::AssertionSuccess() << "regenerated " << path;
  }
  std::optional<TPixmap> golden = DecodePngFile(path);
  const std::string actual = path.substr(0, path.size() - 4) + ".actual.png";
  if (!golden)
    return ::testing::AssertionFailure()
           << "no golden " << path << " (regenerate with DRAYVANE_REGENERATE_GOLDENS=1)";
  if (golden->width != width || golden->height != height || golden->kind != TPixelKind::Rgb) {
    WriteFramePng(actual, pixels, width, height);
    return ::testing::AssertionFailure() << "golden " << path << " has another size or kind";
  }
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint8_t *g = golden->bytes.data() + i * 3;
    std::uint32_t expected = (std::uint32_t{g[0]} << 16) | (std::uint32_t{g[1]} << 8) | g[2];
    if ((pixels[i] & 0xFFFFFF) != expected) {
      WriteFramePng(actual, pixels, width, height);
      return ::testing::AssertionFailure()
             << name << ": first difference at (" << i % width << ", " << i / width
             << "): expected " << hexColour(expected) << ", drawn " << hexColour(pixels[i])
             << "; the drawn frame is in " << actual;
    }
  }
  return ::testing::AssertionSuccess();
}
