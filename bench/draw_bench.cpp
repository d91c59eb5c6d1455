// The cost of drawing one busy frame into the back buffer: sheet pictures, their small views and
// text.
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/display.h"
#include "platform/font.h"
#include "platform/picture.h"

namespace {

constexpr int kPictures = 2000, kSmallViews = 2000, kTextLines = 20;

// A 250 x 250 sheet of 25 x 25 cells, like the underequip sheet: items on black.
int loadSheet() {
  std::vector<std::uint8_t> rgb(250 * 250 * 3);
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 250; ++x) {
      const int cx = x % 25 - 12, cy = y % 25 - 12;
      const bool item = cx * cx + cy * cy < 100 + (x / 25 + y / 25) % 40;
      std::uint8_t *p = rgb.data() + (y * 250 + x) * 3;
      p[0] = item ? static_cast<std::uint8_t>(40 + x) : 0;
      p[1] = item ? static_cast<std::uint8_t>(90 + y) : 0;
      p[2] = item ? 60 : 0;
    }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = 250;
  image.format = PNG_FORMAT_RGB;
  const std::string path = "/tmp/draw_bench_sheet_" + std::to_string(getpid()) + ".png";
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr))
    return 0;
  const int sheet = LoadPictureSheet(TText(path.begin(), path.end()), 25, 25, 0, 100, 1);
  std::remove(path.c_str());
  return sheet;
}

struct TPlacement {
  double x, y;
  int frame;
};

// Fixed pseudo-random places over the whole display and a little beyond its edges.
std::vector<TPlacement> placements(int count, std::uint32_t seed) {
  std::vector<TPlacement> out;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double x = static_cast<double>(seed >> 8) / (1u << 24) * 1064 - 20;
    seed = seed * 1664525u + 1013904223u;
    const double y = static_cast<double>(seed >> 8) / (1u << 24) * 808 - 20;
    out.push_back({std::floor(x), std::floor(y), i % 100});
  }
  return out;
}

struct TScene {
  int sheet = 0;
  std::vector<TPlacement> pictures = placements(kPictures, 1);
  std::vector<TPlacement> smallViews = placements(kSmallViews, 2);
  std::vector<TText> lines;

  TScene() {
    Headless().Reset();
    OpenDisplay(1024, 768, 32, 60, 0);
    sheet = loadSheet();
    for (int l = 0; l < kTextLines; ++l) {
      std::string line;
      for (int c = 0; c < 50; ++c)
        line.push_back(static_cast<char>(33 + (l * 50 + c) % 94));
      lines.emplace_back(line.begin(), line.end());
    }
  }
  void drawPictures() const {
    for (const TPlacement &p : pictures)
      DrawPicture(sheet, p.x, p.y, p.frame);
  }
  void drawSmallViews() const {
    for (const TPlacement &p : smallViews)
      DrawPictureScaled(sheet, p.x, p.y, 7, 7, p.frame);
  }
  void drawText() const {
    for (int l = 0; l < kTextLines; ++l)
      DrawString(lines[static_cast<std::size_t>(l)], 10, 40 + 18 * l);
  }
};

TScene &scene() {
  static TScene s;
  return s;
}

void finish(benchmark::State &state) {
  benchmark::DoNotOptimize(CurrentDisplay()->pixels.data());
  benchmark::ClobberMemory();
  if (scene().sheet == 0)
    state.SkipWithError("the sheet did not load");
}

void BM_Frame(benchmark::State &state) {
  const TScene &s = scene();
  for (auto _ : state) {
    Cls();
    s.drawPictures();
    s.drawSmallViews();
    s.drawText();
    finish(state);
  }
}

// The parts of the frame on their own, to see where its time goes.
void BM_Cls(benchmark::State &state) {
  for (auto _ : state) {
    Cls();
    finish(state);
  }
}
void BM_Pictures(benchmark::State &state) {
  for (auto _ : state) {
    scene().drawPictures();
    finish(state);
  }
}
void BM_SmallViews(benchmark::State &state) {
  for (auto _ : state) {
    scene().drawSmallViews();
    finish(state);
  }
}
void BM_Text(benchmark::State &state) {
  for (auto _ : state) {
    scene().drawText();
    finish(state);
  }
}

#define DRAW_BENCH(name)                                                                           \
  BENCHMARK(name)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true)
DRAW_BENCH(BM_Frame);
DRAW_BENCH(BM_Cls);
DRAW_BENCH(BM_Pictures);
DRAW_BENCH(BM_SmallViews);
DRAW_BENCH(BM_Text);

} // namespace

BENCHMARK_MAIN();
