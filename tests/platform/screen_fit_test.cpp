// Guards the frame's fit to screens of every size: placement, even pixels, and
// the mapping of screen positions to frame pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "platform/screen_fit.h"

namespace {

struct TFitCase {
  int screenW, screenH;
  int x, y, w, h;
  int wholeMultiple;
};

void PrintTo(const TFitCase &c, std::ostream *os) {
  *os << c.screenW << "x" << c.screenH;
}

class FrameOnScreen : public testing::TestWithParam<TFitCase> {};

TEST_P(FrameOnScreen, FillsCentredWithEvenPixels) {
  const TFitCase c = GetParam();
  const TScreenFit fit = FitFrame(1024, 768, c.screenW, c.screenH);
  EXPECT_EQ(fit.x, c.x);
  EXPECT_EQ(fit.y, c.y);
  EXPECT_EQ(fit.w, c.w);
  EXPECT_EQ(fit.h, c.h);
  EXPECT_EQ(fit.wholeMultiple, c.wholeMultiple);

  // A frame of one-pixel stripes across and down (each frame pixel its own colour pair).
  std::vector<std::uint32_t> frame(1024 * 768);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      frame[y * 1024 + x] = 0xFF000000u | (x % 2 ? 0xFF0000u : 0) | (y % 2 ? 0x00FF00u : 0);
  TFrameScaler scaler;
  scaler.Prepare(fit);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(fit.w) * fit.h);
  scaler.Scale(frame.data(), out.data(), fit.w);

  // A click at the screen pixel drawn for a frame pixel arrives as that
  // pixel, and that screen pixel shows mostly that frame pixel's colour
  // (on a screen smaller than the frame, some frame pixels have none).
  const std::size_t row300 = static_cast<std::size_t>(fit.ScreenY(300) - fit.y) * fit.w;
  for (int fx = 0; fx < 1024 && fit.w >= 1024; ++fx) {
    const int sx = fit.ScreenX(fx);
    ASSERT_EQ(fit.FrameX(sx), fx) << "column " << fx;
    const std::uint32_t red = (out[row300 + (sx - fit.x)] >> 16) & 255;
    ASSERT_EQ(red >= 128, fx % 2 == 1) << "column " << fx << " red " << red;
  }
  for (int fy = 0; fy < 768 && fit.h >= 768; ++fy)
    ASSERT_EQ(fit.FrameY(fit.ScreenY(fy)), fy) << "row " << fy;
  // Past the frame's edges (the bars) the mapping runs outside it.
  if (fit.x > 0) {
    EXPECT_LT(fit.FrameX(fit.x - 1), 0);
    EXPECT_GE(fit.FrameX(fit.x + fit.w), 1024);
  }

  // Even pixels: every frame column covers the same width of screen, give or
  // take a quarter of a screen pixel (nearest sampling at 1.4 gives 1 or 2).
  // Columns four apart are lit alone, so each one's light can be summed.
  std::vector<std::uint32_t> lit(1024 * 768, 0xFF000000u);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; x += 4)
      lit[y * 1024 + x] = 0xFFFFFFFFu;
  scaler.Scale(lit.data(), out.data(), fit.w);
  const double across = static_cast<double>(fit.w) / 1024;
  for (int fx = 4; fx < 1020; fx += 4) {
    double light = 0;
    for (int s = fit.ScreenX(fx - 2); s <= fit.ScreenX(fx + 2); ++s)
      light += static_cast<double>((out[row300 + (s - fit.x)] >> 16) & 255) / 255;
    ASSERT_NEAR(light, across, 0.25) << "column " << fx;
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, FrameOnScreen,
                         testing::Values(TFitCase{1024, 768, 0, 0, 1024, 768, 1},
                                         TFitCase{1280, 1024, 0, 32, 1280, 960, 0},
                                         TFitCase{1920, 1080, 240, 0, 1440, 1080, 0},
                                         TFitCase{2560, 1440, 320, 0, 1920, 1440, 0},
                                         TFitCase{3840, 2160, 896, 312, 2048, 1536, 2},
                                         TFitCase{2048, 1536, 0, 0, 2048, 1536, 2},
                                         TFitCase{1366, 768, 171, 0, 1024, 768, 1},
                                         TFitCase{800, 600, 0, 0, 800, 600, 0}));

// At a whole multiple every screen pixel is its frame pixel, exactly.
TEST(FrameScaler, WholeMultipleRepeatsEveryPixel) {
  const TScreenFit fit = FitFrame(4, 3, 13, 10);
  ASSERT_EQ(fit.wholeMultiple, 3);
  std::vector<std::uint32_t> frame(12);
  for (int i = 0; i < 12; ++i)
    frame[i] = 0xFF000000u + static_cast<std::uint32_t>(i * 0x10203);
  TFrameScaler scaler;
  scaler.Prepare(fit);
  std::vector<std::uint32_t> out(12 * 9, 0);
  scaler.Scale(frame.data(), out.data(), 12);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x)
      ASSERT_EQ(out[y * 12 + x], frame[(y / 3) * 4 + x / 3]) << x << "," << y;
  EXPECT_EQ(fit.FrameX(fit.x + 5), 1);
  EXPECT_EQ(fit.FrameX(fit.x + 6), 2);
}

// Between two frame pixels of black and white, at 1.5 times: the enlarged
// pixels are reduced so that exactly one screen pixel lies across the edge.
TEST(FrameScaler, SmoothReductionMixesOnlyAtEdges) {
  const TScreenFit fit = FitFrame(4, 1, 6, 2);
  ASSERT_EQ(fit.wholeMultiple, 0);
  ASSERT_EQ(fit.w, 6);
  const std::vector<std::uint32_t> frame = {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu};
  TFrameScaler scaler;
  scaler.Prepare(fit);
  std::vector<std::uint32_t> out(6 * fit.h);
  scaler.Scale(frame.data(), out.data(), 6);
  // 8 enlarged pixels (0 0 1 1 0 0 1 1) into 6: centres at 1/6, 3/2, 17/6, ...
  EXPECT_EQ(out[0], 0xFF000000u);
  EXPECT_EQ(out[1], 0xFF808080u);
  EXPECT_EQ(out[2], 0xFFFFFFFFu);
  EXPECT_EQ(out[3], 0xFF000000u);
  EXPECT_EQ(out[4], 0xFF808080u);
  EXPECT_EQ(out[5], 0xFFFFFFFFu);
}

} // namespace
