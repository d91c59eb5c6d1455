// Golden-frame comparison and PNG writing for the tests.
#include "golden.h"

#include <cstdio>
#include <cstdlib>

#include "platform/png.h"
#include "platform/png_write.h"

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

::testing::AssertionResult MatchesGolden(const std::string &name,
                                         const std::vector<std::uint32_t> &pixels, int width,
                                         int height) {
  const std::string path = goldenPath(name);
  if (pixels.size() != static_cast<std::size_t>(width) * height)
    return ::testing::AssertionFailure() << name << ": the frame has " << pixels.size()
                                         << " pixels, not " << width << " x " << height;
  const char *regenerate = std::getenv("DRAYVANE_REGENERATE_GOLDENS");
  if (regenerate && std::string(regenerate) == "1") {
    if (!WriteFramePng(path, pixels.data(), width, height))
      return ::testing::AssertionFailure() << "could not write " << path;
    return ::testing::AssertionSuccess() << "regenerated " << path;
  }
  std::optional<TPixmap> golden = DecodePngFile(path);
  const std::string actual = path.substr(0, path.size() - 4) + ".actual.png";
  if (!golden)
    return ::testing::AssertionFailure()
           << "no golden " << path << " (regenerate with DRAYVANE_REGENERATE_GOLDENS=1)";
  if (golden->width != width || golden->height != height || golden->kind != TPixelKind::Rgb) {
    WriteFramePng(actual, pixels.data(), width, height);
    return ::testing::AssertionFailure() << "golden " << path << " has another size or kind";
  }
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint8_t *g = golden->bytes.data() + i * 3;
    std::uint32_t expected = (std::uint32_t{g[0]} << 16) | (std::uint32_t{g[1]} << 8) | g[2];
    if ((pixels[i] & 0xFFFFFF) != expected) {
      WriteFramePng(actual, pixels.data(), width, height);
      return ::testing::AssertionFailure()
             << name << ": first difference at (" << i % width << ", " << i / width
             << "): expected " << hexColour(expected) << ", drawn " << hexColour(pixels[i])
             << "; the drawn frame is in " << actual;
    }
  }
  return ::testing::AssertionSuccess();
}
