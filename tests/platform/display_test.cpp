// Guards the display: masking, sheets, picture and text drawing, lines, clipping and pacing.
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/display.h"
#include "platform/font.h"
#include "platform/picture.h"
#include "platform/text.h"

#include "support/case_name.h"
#include "support/scratch_folder.h"

namespace {
using drayvane_test::PrintTo;

constexpr int kWidth = 1024, kHeight = 768;
constexpr std::uint32_t kBackground = 0xFF123456u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TRgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};
using TPixelRule = std::function<TRgba(int x, int y)>;

std::uint32_t Opaque(TRgba c) {
  return 0xFF000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}
bool IsMaskBlack(TRgba c) {
  return c.r == 0 && c.g == 0 && c.b == 0;
}

// Writes a picture file made by rule into the working directory, the
// running test's scratch folder, and returns its path.
TText WritePng(const std::string &name, int width, int height, png_uint_32 format,
               const TPixelRule &rule) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  const int channels = static_cast<int>(PNG_IMAGE_SAMPLE_CHANNELS(format));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * channels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TRgba c = rule(x, y);
      std::uint8_t *p = bytes.data() + (static_cast<std::size_t>(y) * width + x) * channels;
      const std::uint8_t all[4] = {c.r, c.g, c.b, c.a};
      std::copy(all, all + channels, p);
    }
  const std::string path = (std::filesystem::current_path() / (name + ".png")).string();
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr))
    ADD_FAILURE() << "cannot write " << path << ": " << image.message;
  return TextFromAscii(path);
}

// Frame pixels that name their own coordinates, none of them mask black.
TRgba CoordinatePixel(int x, int y) {
  return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200};
}

// High contrast between neighbours, so any smoothing would show.
TRgba ContrastPixel(int x, int y) {
  return {static_cast<std::uint8_t>(12 * x), static_cast<std::uint8_t>(12 * y),
          static_cast<std::uint8_t>((x + y) % 2 ? 250 : 5)};
}

// The art of a 250 x 250 sheet of 25 x 25 cells, with a mask-black pattern.
TRgba CellArtPixel(int x, int y) {
  if (((x % 25) * (y % 25)) % 5 == 0)
    return {0, 0, 0};
  return {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 3),
          static_cast<std::uint8_t>(1 + (x + y) % 200)};
}

// The frame pixel nearest sampling shows at display offset i of a stretch from size to span.
int NearestSource(int i, int size, int span) {
  return (2 * i + 1) * size / (2 * span);
}

// The first pixel where actual and expected differ (skipping pixels mayDiffer allows), or "".
std::string FirstDifference(const std::vector<std::uint32_t> &actual,
                            const std::vector<std::uint32_t> &expected,
                            const std::function<bool(int, int)> &mayDiffer = nullptr) {
  std::size_t count = 0;
  std::ostringstream first;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kWidth + x;
      if (actual[i] == expected[i] || (mayDiffer && mayDiffer(x, y)))
        continue;
      if (count++ == 0)
        first << std::hex << "at (" << std::dec << x << ", " << y << ") 0x" << std::hex << actual[i]
              << " instead of 0x" << expected[i];
    }
  if (count == 0)
    return "";
  return std::to_string(count) + " pixels differ, first " + first.str();
}

// The game's display, open over a fresh headless backend, filled with a
// colour that no picture here uses so transparent pixels show.
class Drawing : public ::testing::Test {
protected:
  // The pictures a test writes go with it, however it ends.
  TScratchFolder scratch{"display"};

  void SetUp() override {
    Headless().Reset();
    display = OpenDisplay(kWidth, kHeight, 32, 60, 0);
    ASSERT_NE(display, nullptr);
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
  }
  std::uint32_t at(int x, int y) const {
    return display->pixels[static_cast<std::size_t>(y) * kWidth + x];
  }
  std::vector<std::uint32_t> background() const {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(kWidth) * kHeight, kBackground);
  }

  TDisplay *display = nullptr;
};

// ---- Masking

// 3 x 3 pictures whose mask-black pixels are (1, 0) at the top edge, (1, 1)
// inside and (0, 2) in a corner; (0, 1) is almost black but not the mask.
const TRgba kRgbMaskFixture[3][3] = {{{10, 20, 30}, {0, 0, 0}, {50, 60, 70}},
                                     {{0, 0, 1}, {0, 0, 0}, {90, 100, 110}},
                                     {{0, 0, 0}, {200, 0, 0}, {7, 8, 9}}};
const TRgba kGreyMaskFixture[3][3] = {{{10, 10, 10}, {0, 0, 0}, {50, 50, 50}},
                                      {{1, 1, 1}, {0, 0, 0}, {90, 90, 90}},
                                      {{0, 0, 0}, {200, 200, 200}, {7, 7, 7}}};

struct TMaskCase {
  const char *name;
  png_uint_32 format;
  const TRgba (*fixture)[3];
  TRgba interior, corner, edge; // the masked pixels' colours: integer averages
};

const TMaskCase kMaskCases[] = {
    {"rgb", PNG_FORMAT_RGB, kRgbMaskFixture, {59, 31, 36}, {100, 0, 0}, {37, 45, 52}},
    {"grey", PNG_FORMAT_GRAY, kGreyMaskFixture, {59, 59, 59}, {100, 100, 100}, {37, 37, 37}},
};

class Masking : public Drawing, public ::testing::WithParamInterface<TMaskCase> {};

TEST_P(Masking, BlackIsTransparentAndColouredByTheAverageOfItsUnmaskedNeighbours) {
  const TMaskCase &c = GetParam();
  const TText path = WritePng(std::string("mask-") + c.name, 3, 3, c.format,
                              [&](int x, int y) { return c.fixture[y][x]; });
  struct {
    int flags;
    bool masked;
  } const loads[] = {{1, true}, {-1, true}, {3, true}, {0, false}, {2, false}};
  for (const auto &load : loads) {
    SCOPED_TRACE("flags " + std::to_string(load.flags));
    const int picture = LoadPicture(path, load.flags);
    ASSERT_NE(picture, 0);
    if (load.masked) {
      const TPixmap &p = PictureFromHandle(picture)->frames[0].pixmap;
      ASSERT_EQ(p.kind, TPixelKind::Rgba);
      ASSERT_EQ(p.bytes.size(), 36u);
      auto rgba = [&](int x, int y) {
        const std::uint8_t *q = p.bytes.data() + (y * 3 + x) * 4;
        return std::vector<int>{q[0], q[1], q[2], q[3]};
      };
      auto want = [](TRgba v, int alpha) { return std::vector<int>{v.r, v.g, v.b, alpha}; };
      EXPECT_EQ(rgba(1, 1), want(c.interior, 0)) << "inside";
      EXPECT_EQ(rgba(0, 2), want(c.corner, 0)) << "corner";
      EXPECT_EQ(rgba(1, 0), want(c.edge, 0)) << "edge";
      EXPECT_EQ(rgba(0, 1), want(c.fixture[1][0], 255)) << "almost black";
      EXPECT_EQ(rgba(2, 2), want(c.fixture[2][2], 255));
    }
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawPicture(picture, 100, 100, 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        const TRgba v = c.fixture[y][x];
        const std::uint32_t expected = load.masked && IsMaskBlack(v) ? kBackground : Opaque(v);
        EXPECT_EQ(at(100 + x, 100 + y), expected) << "pixel (" << x << ", " << y << ")";
      }
  }
}

INSTANTIATE_TEST_SUITE_P(PictureKinds, Masking, ::testing::ValuesIn(kMaskCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MaskPixmap, AMaskedPixelWithoutUnmaskedNeighboursIsBlackAndTheMaskColourIsExact) {
  TPixmap buffer;
  buffer.width = 3;
  buffer.height = 1;
  buffer.kind = TPixelKind::Rgb;
  buffer.bytes = {255, 0, 255, 255, 0, 255, 90, 60, 30}; // magenta, magenta, brown
  const TPixmap out = MaskPixmap(buffer, 255, 0, 255);
  ASSERT_EQ(out.bytes.size(), 12u);
  EXPECT_EQ(std::vector<int>(out.bytes.begin(), out.bytes.end()),
            (std::vector<int>{0, 0, 0, 0, 90, 60, 30, 0, 90, 60, 30, 255}))
      << "(0,0) has only a masked neighbour: black; (1,0) takes the brown one's colour";
}

TEST_F(Drawing, AlphaOf128IsDrawnAnd127IsNotWhateverTheFlags) {
  const TRgba pixels[] = {{10, 20, 30, 127}, {40, 50, 60, 128}, {0, 0, 0, 255}, {1, 2, 3, 0}};
  const TText path =
      WritePng("alpha", 4, 1, PNG_FORMAT_RGBA, [&](int x, int) { return pixels[x]; });
  for (int flags : {0, 1, 2, 3, -1}) {
    SCOPED_TRACE("flags " + std::to_string(flags));
    const int picture = LoadPicture(path, flags);
    ASSERT_NE(picture, 0);
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawPicture(picture, 200, 200, 0);
    EXPECT_EQ(at(200, 200), kBackground);
    EXPECT_EQ(at(201, 200), 0xFF28323Cu);
    EXPECT_EQ(at(202, 200), 0xFF000000u) << "black with alpha is not masked";
    EXPECT_EQ(at(203, 200), kBackground);
  }
}

// ---- Sheets

TEST_F(Drawing, SheetCellsAreCutRowByRowIgnoringAPartialColumn) {
  const TText path = WritePng("sheet210", 210, 200, PNG_FORMAT_RGB, CoordinatePixel);
  struct {
    int firstCell, cellCount, frame, left, top;
  } const cases[] = {
      {0, 100, 0, 0, 0},      {0, 100, 9, 180, 0}, {0, 100, 10, 0, 20}, {0, 100, 12, 40, 20},
      {0, 100, 99, 180, 180}, {5, 10, 0, 100, 0},  {5, 10, 9, 80, 20},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE("first " + std::to_string(c.firstCell) + " frame " + std::to_string(c.frame));
    const int sheet = LoadPictureSheet(path, 20, 20, c.firstCell, c.cellCount, 1);
    ASSERT_NE(sheet, 0);
    ASSERT_EQ(PictureFromHandle(sheet)->frames.size(), static_cast<std::size_t>(c.cellCount));
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawPicture(sheet, 300, 300, c.frame);
    for (int j = 0; j < 20; ++j)
      for (int i = 0; i < 20; ++i)
        ASSERT_EQ(at(300 + i, 300 + j), Opaque(CoordinatePixel(c.left + i, c.top + j)))
            << "frame pixel (" << i << ", " << j << ")";
  }
}

TEST_F(Drawing, ASheetWithoutEnoughWholeCellsLoadsNothing) {
  struct {
    int width, height, cellWidth, cellHeight, firstCell, cellCount;
    bool loads;
  } const cases[] = {
      {190, 200, 20, 20, 0, 100, false}, {190, 200, 20, 20, 0, 90, true},
      {190, 200, 20, 20, 1, 90, false},  {200, 199, 20, 20, 0, 100, false},
      {200, 200, 20, 20, 0, 100, true},  {200, 200, 300, 20, 0, 1, false},
      {200, 200, 0, 20, 0, 1, false},    {200, 200, 20, 0, 0, 1, false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " cells " +
                 std::to_string(c.cellWidth) + "x" + std::to_string(c.cellHeight) + " from " +
                 std::to_string(c.firstCell) + " count " + std::to_string(c.cellCount));
    const TText path = WritePng("sheet-" + std::to_string(c.width) + "x" + std::to_string(c.height),
                                c.width, c.height, PNG_FORMAT_RGB, CoordinatePixel);
    const int sheet =
        LoadPictureSheet(path, c.cellWidth, c.cellHeight, c.firstCell, c.cellCount, 1);
    EXPECT_EQ(sheet != 0, c.loads);
  }
  EXPECT_EQ(LoadPictureSheet(u"no\\such\\sheet.png", 20, 20, 0, 1, 1), 0);
  EXPECT_EQ(LoadPicture(u"no\\such\\picture.png", -1), 0);
}

// ---- Drawing pictures

TEST_F(Drawing, AFilteredPictureAtAWholePositionShowsItsPixelsExactly) {
  const TText path = WritePng("contrast", 20, 20, PNG_FORMAT_RGB, ContrastPixel);
  const int picture = LoadPicture(path, 3);
  ASSERT_NE(picture, 0);
  for (bool scaledCall : {false, true})
    for (auto [x, y] : {std::pair{300, 200}, {-7, 3}, {1010, 760}}) {
      SCOPED_TRACE((scaledCall ? "scaled at " : "at ") + std::to_string(x) + ", " +
                   std::to_string(y));
      std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
      if (scaledCall)
        DrawPictureScaled(picture, x, y, 20, 20, 0);
      else
        DrawPicture(picture, x, y, 0);
      for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 20; ++i) {
          if (x + i < 0 || x + i >= kWidth || y + j < 0 || y + j >= kHeight)
            continue;
          ASSERT_EQ(at(x + i, y + j), Opaque(ContrastPixel(i, j)))
              << "frame pixel (" << i << ", " << j << ")";
        }
    }
}

class ScaledIntoSeven : public Drawing, public ::testing::WithParamInterface<int> {};

TEST_P(ScaledIntoSeven, EachDisplayPixelShowsTheNearestFramePixel) {
  const int size = GetParam();
  const TText path =
      WritePng("coords" + std::to_string(size), size, size, PNG_FORMAT_RGB, CoordinatePixel);
  const int picture = LoadPicture(path, 1);
  ASSERT_NE(picture, 0);
  for (auto [x, y] : {std::pair{30, 40}, {-3, 765}, {1020, -2}}) {
    SCOPED_TRACE("at " + std::to_string(x) + ", " + std::to_string(y));
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawPictureScaled(picture, x, y, 7, 7, 0);
    for (int j = -1; j <= 7; ++j)
      for (int i = -1; i <= 7; ++i) {
        if (x + i < 0 || x + i >= kWidth || y + j < 0 || y + j >= kHeight)
          continue;
        const bool inside = i >= 0 && i < 7 && j >= 0 && j < 7;
        const std::uint32_t expected =
            inside ? Opaque(CoordinatePixel(NearestSource(i, size, 7), NearestSource(j, size, 7)))
                   : kBackground;
        ASSERT_EQ(at(x + i, y + j), expected) << "offset (" << i << ", " << j << ")";
      }
  }
}

INSTANTIATE_TEST_SUITE_P(FrameSizes, ScaledIntoSeven, ::testing::Values(20, 25));

TEST_F(Drawing, NoPictureAnUnknownPictureOrAMissingFrameDrawsNothing) {
  const TText path = WritePng("contrast", 20, 20, PNG_FORMAT_RGB, ContrastPixel);
  const int single = LoadPicture(path, 1);
  const int sheet = LoadPictureSheet(path, 10, 10, 0, 4, 1);
  ASSERT_NE(single, 0);
  ASSERT_NE(sheet, 0);
  const std::pair<int, int> cases[] = {{0, 0},      {-1, 0},         {single + 1000, 0},
                                       {single, 1}, {single, -1},    {sheet, 4},
                                       {sheet, -1}, {sheet, 1 << 30}};
  for (auto [picture, frame] : cases) {
    SCOPED_TRACE("picture " + std::to_string(picture) + " frame " + std::to_string(frame));
    DrawPicture(picture, 10, 10, frame);
    DrawPictureScaled(picture, 10, 10, 7, 7, frame);
    EXPECT_EQ(FirstDifference(display->pixels, background()), "");
  }
}

TEST_F(Drawing, AFrameGivenABufferThatDoesNotHoldItsPixelsDrawsNothing) {
  TImage image;
  image.width = 4;
  image.height = 4;
  image.flags = kMasked;
  image.frames.resize(2);
  TPixmap shortBuffer;
  shortBuffer.width = 4;
  shortBuffer.height = 4;
  shortBuffer.kind = TPixelKind::Rgb;
  shortBuffer.bytes.assign(4 * 4 * 3 - 1, 200);
  image.setFrame(0, shortBuffer);
  TPixmap otherSize = shortBuffer;
  otherSize.width = 5;
  otherSize.bytes.assign(5 * 4 * 3, 200);
  image.setFrame(1, otherSize);
  for (int frame : {0, 1}) {
    DrawImageFrame(image, frame, 10, 10, 4, 4);
    DrawImageFrame(image, frame, 10, 10, 7, 7);
  }
  EXPECT_EQ(FirstDifference(display->pixels, background()), "");
}

// ---- Clipping

// One drawing call at a position, and what it should leave in its rectangle.
struct TClipCase {
  const char *name;
  int width, height; // the rectangle the call covers
  bool exactInside;  // false: only the outside of the rectangle is checked
  std::function<void(double x, double y)> draw;
  std::function<std::optional<std::uint32_t>(int i, int j)> shows; // nullopt: left as it was
};

class Clipping : public Drawing, public ::testing::WithParamInterface<int> {
protected:
  void SetUp() override {
    Drawing::SetUp();
    if (HasFatalFailure())
      return;
    const TText sheetPath = WritePng("cellart", 250, 250, PNG_FORMAT_RGB, CellArtPixel);
    sheet = LoadPictureSheet(sheetPath, 25, 25, 0, 100, 1);
    filtered = LoadPicture(WritePng("contrast", 20, 20, PNG_FORMAT_RGB, ContrastPixel), 3);
    ASSERT_NE(sheet, 0);
    ASSERT_NE(filtered, 0);
  }
  std::vector<TClipCase> cases() const;

  int sheet = 0, filtered = 0;
};

// Frame 13 of the cell-art sheet is the cell at column 3, row 1.
std::optional<std::uint32_t> Cell13(int i, int j) {
  const TRgba c = CellArtPixel(75 + i, 25 + j);
  return IsMaskBlack(c) ? std::nullopt : std::optional(Opaque(c));
}

std::optional<std::uint32_t> GlyphInk(const std::u16string &text, int i, int j) {
  const int glyph = text[static_cast<std::size_t>(i / 8)] - 32;
  const bool ink = (kBuiltinFontBitmap[static_cast<std::size_t>(j * 96 + glyph)] >> (i % 8)) & 1;
  return ink ? std::optional(kWhite) : std::nullopt;
}

std::vector<TClipCase> Clipping::cases() const {
  const int s = sheet, f = filtered;
  return {
      {"picture", 25, 25, true, [s](double x, double y) { DrawPicture(s, x, y, 13); }, Cell13},
      {"filtered_picture", 20, 20, true, [f](double x, double y) { DrawPicture(f, x, y, 0); },
       [](int i, int j) { return std::optional(Opaque(ContrastPixel(i, j))); }},
      {"scaled_down", 7, 7, true, [s](double x, double y) { DrawPictureScaled(s, x, y, 7, 7, 13); },
       [](int i, int j) { return Cell13(NearestSource(i, 25, 7), NearestSource(j, 25, 7)); }},
      {"scaled_up", 60, 45, true,
       [s](double x, double y) { DrawPictureScaled(s, x, y, 60, 45, 13); },
       [](int i, int j) { return Cell13(NearestSource(i, 25, 60), NearestSource(j, 25, 45)); }},
      {"filtered_scaled", 45, 31, false,
       [f](double x, double y) { DrawPictureScaled(f, x, y, 45, 31, 0); }, nullptr},
      {"text", 24, 16, true, [](double x, double y) { DrawString(u"Ab~", x, y); },
       [](int i, int j) { return GlyphInk(u"Ab~", i, j); }},
      {"horizontal_line", 30, 1, true, [](double x, double y) { DrawLine(x, y, x + 29, y, 1); },
       [](int, int) { return std::optional(kWhite); }},
      {"vertical_line", 1, 30, true, [](double x, double y) { DrawLine(x, y, x, y + 29, 1); },
       [](int, int) { return std::optional(kWhite); }},
  };
}

TEST_P(Clipping, OnlyTheVisiblePartIsDrawnWhereverTheCallIsPlaced) {
  const std::vector<TClipCase> all = cases();
  const TClipCase &c = all.at(static_cast<std::size_t>(GetParam()));
  SCOPED_TRACE(c.name);
  const std::pair<double, double> places[] = {
      {-10, -10},   {1020, 760},  {-3, 400},  {400, -5},    {1010, 200}, {200, 760},
      {-1000, 300}, {500, 10000}, {1e9, 1e9}, {-1e9, -1e9}, {1e9, 300},  {300, -1e9},
      {kNaN, 300},  {300, kNaN},  {kInf, 0},  {0, -kInf},   {-1e300, 5}, {5, 1e300}};
  for (const auto &place : places) {
    const double x = place.first, y = place.second;
    SCOPED_TRACE("at " + std::to_string(x) + ", " + std::to_string(y));
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    c.draw(x, y);
    std::vector<std::uint32_t> expected = background();
    if (std::isfinite(x) && std::isfinite(y)) {
      // The visible offsets inside the rectangle, kept in range before they become ints.
      const int i0 = static_cast<int>(std::clamp(-x, 0.0, double(c.width)));
      const int i1 = static_cast<int>(std::clamp(kWidth - x, 0.0, double(c.width)));
      const int j0 = static_cast<int>(std::clamp(-y, 0.0, double(c.height)));
      const int j1 = static_cast<int>(std::clamp(kHeight - y, 0.0, double(c.height)));
      for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i)
          if (std::optional<std::uint32_t> v = c.exactInside ? c.shows(i, j) : std::nullopt)
            expected[static_cast<std::size_t>(y + j) * kWidth + static_cast<std::size_t>(x + i)] =
                *v;
    }
    auto insideRectangle = [&](int px, int py) {
      return !c.exactInside && px >= x && px < x + c.width && py >= y && py < y + c.height;
    };
    EXPECT_EQ(FirstDifference(display->pixels, expected, insideRectangle), "");
  }
}

std::string ClipCaseName(const ::testing::TestParamInfo<int> &info) {
  static const char *const names[] = {"picture",         "filtered_picture", "scaled_down",
                                      "scaled_up",       "filtered_scaled",  "text",
                                      "horizontal_line", "vertical_line"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Calls, Clipping, ::testing::Range(0, 8), ClipCaseName);

// ---- Lines

struct TLineCase {
  double x1, y1, x2, y2;
  int lastPixel;
  int left, top, right, bottom; // the lit pixels, inclusive; left > right: none
};

// "(5, 20) to (5, 10), last pixel drawn: lights (5, 10) to (5, 20)"
void PrintTo(const TLineCase &c, std::ostream *os) {
  *os << "(" << c.x1 << ", " << c.y1 << ") to (" << c.x2 << ", " << c.y2 << "), last pixel "
      << (c.lastPixel != 0 ? "drawn" : "left out") << ": lights ";
  if (c.left > c.right)
    *os << "nothing";
  else
    *os << "(" << c.left << ", " << c.top << ") to (" << c.right << ", " << c.bottom << ")";
}

// "From5_20To5_10", "FromMinus5_3To10_3", "FromNaN_5To10_5EndLeftOut"
std::string LineCaseName(const ::testing::TestParamInfo<TLineCase> &info) {
  const auto number = [](double v) -> std::string {
    if (std::isnan(v))
      return "NaN";
    if (std::isinf(v))
      return v < 0 ? "MinusInf" : "Inf";
    const long long whole = std::llround(v);
    return (whole < 0 ? "Minus" : "") + std::to_string(whole < 0 ? -whole : whole);
  };
  const TLineCase &c = info.param;
  return "From" + number(c.x1) + "_" + number(c.y1) + "To" + number(c.x2) + "_" + number(c.y2) +
         (c.lastPixel != 0 ? "" : "EndLeftOut");
}

class Lines : public Drawing, public ::testing::WithParamInterface<TLineCase> {};

TEST_P(Lines, LightExactlyThePixelsFromEndToEnd) {
  const TLineCase &c = GetParam();
  DrawLine(c.x1, c.y1, c.x2, c.y2, c.lastPixel);
  std::vector<std::uint32_t> expected = background();
  for (int y = c.top; y <= c.bottom; ++y)
    for (int x = c.left; x <= c.right; ++x)
      expected[static_cast<std::size_t>(y) * kWidth + x] = kWhite;
  EXPECT_EQ(FirstDifference(display->pixels, expected), "");
  const auto lit = std::count(display->pixels.begin(), display->pixels.end(), kWhite);
  EXPECT_EQ(lit, c.left > c.right ? 0 : (c.right - c.left + 1) * (c.bottom - c.top + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, Lines,
    ::testing::Values(
        TLineCase{5, 10, 5, 20, 1, 5, 10, 5, 20}, // the 11 pixels of the rule
        TLineCase{5, 20, 5, 10, 1, 5, 10, 5, 20}, // drawn upwards
        TLineCase{3, 7, 12, 7, 1, 3, 7, 12, 7},   // horizontal
        TLineCase{12, 7, 3, 7, 1, 3, 7, 12, 7},   // leftwards
        TLineCase{5, 10, 5, 20, 0, 5, 10, 5, 19}, // the end pixel left out
        TLineCase{8, 8, 8, 8, 1, 8, 8, 8, 8},     // a single pixel
        TLineCase{8, 8, 8, 8, 0, 1, 0, 0, 0},     // nothing at all
        TLineCase{-5, 3, 10, 3, 1, 0, 3, 10, 3},  // from off the left edge
        TLineCase{1020, 760, 1030, 760, 1, 1020, 760, 1023, 760},
        TLineCase{1000, 767, 1000, 800, 1, 1000, 767, 1000, 767},
        TLineCase{-1e9, 300, 1e9, 300, 1, 0, 300, 1023, 300},
        TLineCase{7, -1e9, 7, 1e9, 1, 7, 0, 7, 767}, TLineCase{-1000, 300, -10, 300, 1, 1, 0, 0, 0},
        TLineCase{500, 10000, 500, 10100, 1, 1, 0, 0, 0},
        TLineCase{1e9, 1e9, 1e9 + 5, 1e9, 1, 1, 0, 0, 0}, TLineCase{kNaN, 5, 10, 5, 1, 1, 0, 0, 0},
        TLineCase{5, 5, 10, kNaN, 1, 1, 0, 0, 0}, TLineCase{kInf, 5, 10, 5, 1, 1, 0, 0, 0}),
    LineCaseName);

// Lines along a row or a column are drawn as spans; they must light exactly
// the pixels of the pixel-by-pixel walk, whatever their ends.
TEST_F(Drawing, LinesAlongARowOrAColumnLightThePixelsOfTheStepwiseWalk) {
  struct {
    double x1, y1, x2, y2;
  } const lines[] = {
      {5, 5, 980, 5},
      {980, 5, 5, 5},
      {5, 5, 5, 605},
      {5, 605, 5, 5},
      {3.9, 7.2, 12.1, 7.8},
      {12.7, 7.2, 3.1, 7},
      {7.5, 3.2, 7.9, 12.6},
      {7.5, 12.6, 7.1, 3.2},
      {-40, 0, 1100, 0},
      {1100, 767, -40, 767},
      {0, -40, 0, 900},
      {1023, 900, 1023, -40},
      {-1e12, 300, 1e12, 300},
      {300, 1e12, 300, -1e12},
      {1030, 5, 1030, 60},
      {5, -3, 60, -3},
      {-0.5, 10, 10, 10},
      {10, -0.5, 10, 10},
      {8, 8, 8, 8},
      {8.9, 8.1, 8.2, 8.7},
      {1024, 10, 1000, 10},
      {10, 768, 10, 740},
      {-5, 10, 0, 10},
      {10, -5, 10, 0},
  };
  for (const auto &l : lines)
    for (int lastPixel : {0, 1}) {
      SCOPED_TRACE(std::to_string(l.x1) + ", " + std::to_string(l.y1) + " to " +
                   std::to_string(l.x2) + ", " + std::to_string(l.y2) + " lastPixel " +
                   std::to_string(lastPixel));
      std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
      DrawLineStepwise(l.x1, l.y1, l.x2, l.y2, lastPixel);
      const std::vector<std::uint32_t> walked = display->pixels;
      std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
      DrawLine(l.x1, l.y1, l.x2, l.y2, lastPixel);
      EXPECT_EQ(FirstDifference(display->pixels, walked), "");
    }
}

TEST_F(Drawing, ALineWithAFarEndKeepsItsSlopeOnTheDisplay) {
  struct {
    double x1, y1, x2, y2;     // the far line
    double nx1, ny1, nx2, ny2; // the same slope through the same pixels, near at hand
  } const cases[] = {
      {0, 0, 2e6, 1e6, 0, 0, 2000, 1000},
      {-2e6, -1e6, 2000, 1000, -2000, -1000, 2000, 1000},
      {0, 767, 3e9, 767 - 1e9, 0, 767, 3000, -233},
      {100 - 5e8, -4e9, 100 + 5e8, 4e9, 0, -800, 200, 800},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE("to " + std::to_string(c.x2) + ", " + std::to_string(c.y2));
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawLine(c.nx1, c.ny1, c.nx2, c.ny2, 1);
    const std::vector<std::uint32_t> near = display->pixels;
    ASSERT_GT(std::count(near.begin(), near.end(), kWhite), 200);
    std::fill(display->pixels.begin(), display->pixels.end(), kBackground);
    DrawLine(c.x1, c.y1, c.x2, c.y2, 1);
    EXPECT_EQ(FirstDifference(display->pixels, near), "");
  }
}

// ---- Text

struct TTextCase {
  const char *name;
  std::u16string text;
  std::vector<std::pair<char16_t, int>> glyphs; // character and its pen offset
};

class Strings : public Drawing, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(Strings, DrawOnlyTheFontsCharactersEightPixelsApart) {
  const TTextCase &c = GetParam();
  DrawString(c.text, 100, 50);
  std::vector<std::uint32_t> expected = background();
  for (auto [code, offset] : c.glyphs)
    for (int j = 0; j < 16; ++j)
      for (int i = 0; i < 8; ++i)
        if (GlyphInk(std::u16string(1, code), i, j))
          expected[static_cast<std::size_t>(50 + j) * kWidth + 100 + offset + i] = kWhite;
  EXPECT_EQ(FirstDifference(display->pixels, expected), "");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Strings,
    ::testing::Values(TTextCase{"unknown_code_between", u"A\u00C8B", {{u'A', 0}, {u'B', 8}}},
                      TTextCase{"below_the_font",
                                std::u16string(u"\x1F"
                                               u"A\0B",
                                               4),
                                {{u'A', 0}, {u'B', 8}}},
                      TTextCase{"last_glyph", u"A\x7F", {{u'A', 0}, {u'\x7F', 8}}},
                      TTextCase{"space_advances", u" ~", {{u'~', 8}}},
                      TTextCase{"beyond_ascii", u"\u0100\uFFFFZ", {{u'Z', 0}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DecimalText, GivesTheDigitsWithAMinusForNegatives) {
  const std::pair<std::int32_t, std::u16string> cases[] = {{0, u"0"},
                                                           {7, u"7"},
                                                           {-1, u"-1"},
                                                           {1000, u"1000"},
                                                           {INT32_MIN, u"-2147483648"},
                                                           {INT32_MAX, u"2147483647"}};
  for (const auto &[value, text] : cases)
    EXPECT_EQ(DecimalText(value), text) << value;
}

// ---- Pacing

// A display over the headless backend's manual clock, which moves only by sleeps and AdvanceClock.
class Pacing : public ::testing::Test {
protected:
  void open(int depth, int hertz) {
    Headless().Reset();
    Headless().UseManualClock(true);
    ASSERT_NE(OpenDisplay(640, 480, depth, hertz, 0), nullptr);
    firstPresent = Headless().presents().size();
    firstSleep = Headless().sleeps().size();
    openedAt = Headless().Milliseconds();
  }
  std::vector<TPresentRecord> presents() const {
    return {Headless().presents().begin() + static_cast<std::ptrdiff_t>(firstPresent),
            Headless().presents().end()};
  }
  std::vector<std::uint32_t> sleeps() const {
    return {Headless().sleeps().begin() + static_cast<std::ptrdiff_t>(firstSleep),
            Headless().sleeps().end()};
  }

  std::size_t firstPresent = 0, firstSleep = 0;
  std::uint32_t openedAt = 0;
};

TEST_F(Pacing, AFullScreenDisplayPresentsInStepWithTheRefreshAndNeverSleeps) {
  struct {
    int depth, hertz;
    bool inStep;
  } const modes[] = {{32, 60, true}, {16, 75, true}, {32, 0, false}, {0, 0, false}};
  for (const auto &m : modes) {
    SCOPED_TRACE("depth " + std::to_string(m.depth) + " hertz " + std::to_string(m.hertz));
    open(m.depth, m.hertz);
    for (int i = 0; i < 30; ++i)
      Flip(-1);
    ASSERT_EQ(presents().size(), 30u);
    for (const TPresentRecord &p : presents())
      EXPECT_EQ(p.inStepWithRefresh, m.inStep);
    EXPECT_TRUE(sleeps().empty());
  }
}

TEST_F(Pacing, AWindowSleepsSoThatPresentsKeepTheRefreshPeriodOnAverage) {
  struct {
    int hertz;
    std::uint32_t workMs; // drawing time of every frame
  } const cases[] = {{60, 0}, {60, 5}, {75, 0}, {50, 3}, {60, 16}};
  for (const auto &c : cases) {
    SCOPED_TRACE("hertz " + std::to_string(c.hertz) + " work " + std::to_string(c.workMs));
    open(0, c.hertz);
    for (int i = 0; i < c.hertz; ++i) {
      Headless().AdvanceClock(c.workMs);
      Flip(-1);
    }
    const std::uint32_t period = 1000 / static_cast<std::uint32_t>(c.hertz);
    std::uint32_t total = 0, previous = openedAt;
    for (std::uint32_t s : sleeps()) {
      EXPECT_TRUE(s == period - c.workMs || s == period + 1 - c.workMs) << s;
      total += s;
    }
    EXPECT_EQ(total + c.hertz * c.workMs, 1000u);
    ASSERT_EQ(presents().size(), static_cast<std::size_t>(c.hertz));
    for (const TPresentRecord &p : presents()) {
      EXPECT_FALSE(p.inStepWithRefresh);
      EXPECT_TRUE(p.atMs - previous == period || p.atMs - previous == period + 1)
          << "present " << p.index << " " << p.atMs - previous << " ms after the one before";
      previous = p.atMs;
    }
    EXPECT_EQ(previous - openedAt, 1000u) << "a second of frames takes a second";
  }
}

TEST_F(Pacing, ALateFrameDoesNotSleepAndTheNextIsPacedFromIt) {
  open(0, 60);
  Flip(-1);
  ASSERT_EQ(sleeps().size(), 1u);
  Headless().AdvanceClock(40); // two and a half periods of drawing
  Flip(-1);
  EXPECT_EQ(sleeps().size(), 1u) << "the late frame slept";
  Flip(-1);
  Flip(-1);
  const std::vector<TPresentRecord> p = presents();
  ASSERT_EQ(p.size(), 4u);
  for (std::size_t i = 2; i < 4; ++i) {
    const std::uint32_t gap = p[i].atMs - p[i - 1].atMs;
    EXPECT_TRUE(gap == 16 || gap == 17)
        << "frame " << i << " came " << gap << " ms after the one before: it tried to catch up";
  }
}

TEST_F(Pacing, AnExplicitSyncPresentsAtOnceOrWithTheRefreshWithoutSleeping) {
  struct {
    int depth, sync;
    bool inStep;
  } const cases[] = {{0, 0, false}, {0, 1, true}, {32, 0, false}, {32, 1, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE("depth " + std::to_string(c.depth) + " sync " + std::to_string(c.sync));
    open(c.depth, 60);
    for (int i = 0; i < 5; ++i)
      Flip(c.sync);
    ASSERT_EQ(presents().size(), 5u);
    for (const TPresentRecord &p : presents()) {
      EXPECT_EQ(p.inStepWithRefresh, c.inStep);
      EXPECT_EQ(p.atMs, openedAt);
    }
    EXPECT_TRUE(sleeps().empty());
  }
}

} // namespace
