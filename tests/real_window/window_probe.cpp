// A small program over the real window that the window tests drive: it shows
// a known frame, reports the spacing of its presents, and prints what the
// input queries answer while xdotool types and clicks.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/png.h"
#include "platform/png_write.h"
#include "platform/screen_fit.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The back buffer as it is about to be shown, as the picture a screenshot must equal.
bool writeBackBuffer(const std::string &path) {
  TDisplay *d = CurrentDisplay();
  if (d == nullptr)
    return false;
  return WriteFramePng(path, d->pixels.data(), d->width, d->height);
}

// A 32 x 32 tile of coloured squares and stripes, so that colour, position
// and stretching all show on the screen.
bool writeTile(const std::string &path) {
  const int n = 32;
  std::vector<std::uint8_t> rgb(n * n * 3);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      std::uint8_t *p = &rgb[(y * n + x) * 3];
      p[0] = static_cast<std::uint8_t>(x < 16 ? 255 : 20 + x * 5);
      p[1] = static_cast<std::uint8_t>(y < 16 ? 200 : 10 + y * 7);
      p[2] = static_cast<std::uint8_t>(((x / 4 + y / 4) % 2) * 255);
    }
  return WriteRgbPng(path, n, n, rgb);
}

void drawKnownFrame(int tile) {
  Cls();
  for (int x = 0; x < 1024; x += 64)
    DrawLine(x, 0, x, 767, 1);
  for (int y = 0; y < 768; y += 48)
    DrawLine(0, y, 1023, y, 1);
  DrawLine(0, 0, 1023, 767, 1);
  DrawLine(1023, 0, 0, 767, 1);
  DrawLine(100, 700, 340, 610, 1);
  // Outlined boxes, one of them filled with the stretched tile.
  for (int i = 0; i < 5; ++i) {
    const int x = 80 + i * 180, y = 90 + i * 20, w = 120 + i * 10, h = 70 + i * 8;
    DrawLine(x, y, x + w, y, 1);
    DrawLine(x + w, y, x + w, y + h, 1);
    DrawLine(x + w, y + h, x, y + h, 1);
    DrawLine(x, y + h, x, y, 1);
    if (tile != 0)
      DrawPictureScaled(tile, x + 2, y + 2, w - 3, h - 3, 0);
  }
  if (tile != 0) {
    DrawPicture(tile, 0, 0, 0);
    DrawPicture(tile, 1024 - 32, 768 - 32, 0);
    DrawPicture(tile, 500, 400, 0);
  }
  DrawString(u"Drayvane 31 window probe: the frame a screenshot must match", 16, 300);
  DrawString(u"0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz", 16, 320);
  DrawString(u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 16, 340);
  DrawString(DecimalText(-2147483647 - 1), 700, 740);
}

void reportIntervals(const std::vector<double> &intervals, const char *what) {
  if (intervals.empty()) {
    std::printf("%s none\n", what);
    return;
  }
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  std::printf("%s count %zu min %.3f median %.3f max %.3f ms\n", what, sorted.size(),
              sorted.front(), sorted[sorted.size() / 2], sorted.back());
}

// frame EXPECTED.png [SECONDS]: shows the known frame, writes it out, keeps
// showing it until the time is up and 60 spacings are measured (a busy
// machine presents fewer frames), or Escape is pressed, then reports the
// spacing of the Flip(-1) calls.
int runFrame(const std::string &expected, double seconds) {
  const std::string tilePath = expected + ".tile.png";
  if (!writeTile(tilePath)) {
    std::fprintf(stderr, "cannot write %s\n", tilePath.c_str());
    return 2;
  }
  OpenDisplay(1024, 768, 32, 60, 0);
  const int tile = LoadPicture(TextFromAscii(tilePath), 0);
  if (tile == 0) {
    std::fprintf(stderr, "cannot load %s\n", tilePath.c_str());
    return 2;
  }
  std::vector<double> intervals;
  Clock::time_point last{};
  const Clock::time_point start = Clock::now();
  for (int frame = 0;; ++frame) {
    drawKnownFrame(tile);
    if (frame == 0 && !writeBackBuffer(expected)) {
      std::fprintf(stderr, "cannot write %s\n", expected.c_str());
      return 2;
    }
    Flip(-1);
    const Clock::time_point now = Clock::now();
    if (frame > 0)
      intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
    if (frame == 2) {
      std::printf("ready\n");
      std::fflush(stdout);
    }
    if (TakeKeyHits(27) != 0 || (millisecondsSince(start) >= seconds * 1000 && frame > 60))
      break;
  }
  reportIntervals(intervals, "flip intervals");
  // The same frames presented at once and spaced by a plain clock: the
  // spacing that this machine's load allows any program that draws, presents
  // and sleeps a sixtieth of a second.
  std::vector<double> paced;
  Clock::time_point previous = Clock::now();
  for (int i = 0; i < 90; ++i) {
    drawKnownFrame(tile);
    Flip(0);
    std::this_thread::sleep_until(previous + std::chrono::microseconds(16667));
    const Clock::time_point now = Clock::now();
    paced.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
    previous = now;
  }
  reportIntervals(paced, "paced intervals");
  return 0;
}

// input [SECONDS] [STOPKEY]: a plain frame loop that prints every answer of
// the queries that changes: key hits of every code, button transitions with
// the pointer position, and the suspended flag; and "frame N" at the end of
// each frame, for the test to know what a frame has seen.
int runInput(double seconds, int stopKey) {
  OpenDisplay(1024, 768, 32, 60, 0);
  int buttons[4] = {};
  int suspended = 0;
  const Clock::time_point start = Clock::now();
  for (int frame = 0; millisecondsSince(start) < seconds * 1000; ++frame) {
    Cls();
    DrawString(u"Drayvane 31 input probe", 400, 370);
    Flip(-1);
    if (frame == 2) {
      // Opening the display moved the pointer to its centre.
      std::printf("ready\npointer at %d %d\n", PointerX(), PointerY());
      std::fflush(stdout);
    }
    bool stop = false;
    for (int code = 1; code <= 255; ++code)
      if (int hits = TakeKeyHits(code); hits != 0) {
        std::printf("key %d hits %d\n", code, hits);
        stop = stop || code == stopKey;
      }
    for (int b = 1; b <= 3; ++b)
      if (int down = ButtonDown(b); down != buttons[b]) {
        buttons[b] = down;
        std::printf("button %d %s at %d %d\n", b, down ? "down" : "up", PointerX(), PointerY());
      }
    if (InputState().appSuspended != suspended) {
      suspended = InputState().appSuspended;
      std::printf("suspended %d\n", suspended);
    }
    std::printf("frame %d\n", frame);
    std::fflush(stdout);
    if (stop)
      return 0;
  }
  std::printf("timed out\n");
  return 3;
}

// bench [FRAMES]: the cost of one present without waiting for the refresh.
int runBench(int frames) {
  OpenDisplay(1024, 768, 32, 60, 0);
  std::vector<double> costs;
  for (int i = 0; i < frames; ++i) {
    Cls();
    DrawLine(i % 1024, 0, i % 1024, 767, 1);
    const Clock::time_point start = Clock::now();
    Flip(0);
    costs.push_back(millisecondsSince(start));
  }
  reportIntervals(costs, "present cost");
  return 0;
}

// The picture a screen of that size must show for the frame: scaled to fit,
// centred, black around it; nothing when the frame cannot be read.
std::optional<std::vector<std::uint32_t>> fittedScreen(const std::string &in, int screenW,
                                                       int screenH) {
  const std::optional<TPixmap> frame = DecodePngFile(in);
  if (!frame || frame->kind == TPixelKind::Grey) {
    std::fprintf(stderr, "cannot read %s\n", in.c_str());
    return std::nullopt;
  }
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(frame->width) * frame->height);
  const int bpp = frame->bytesPerPixel();
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint8_t *p = &frame->bytes[i * bpp];
    pixels[i] = 0xFF000000u | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  }
  const TScreenFit fit = FitFrame(frame->width, frame->height, screenW, screenH);
  std::vector<std::uint32_t> scaled(static_cast<std::size_t>(fit.w) * fit.h);
  TFrameScaler scaler;
  scaler.Prepare(fit);
  scaler.Scale(pixels.data(), scaled.data(), fit.w);
  std::vector<std::uint32_t> screen(static_cast<std::size_t>(screenW) * screenH, 0xFF000000u);
  for (int y = 0; y < fit.h; ++y)
    std::copy_n(&scaled[static_cast<std::size_t>(y) * fit.w], fit.w,
                &screen[static_cast<std::size_t>(y + fit.y) * screenW + fit.x]);
  return screen;
}

// scale FRAME.png SCREENW SCREENH OUT.png: that picture, as a PNG.
int runScale(const std::string &in, int screenW, int screenH, const std::string &out) {
  const auto screen = fittedScreen(in, screenW, screenH);
  if (!screen)
    return 2;
  return WriteFramePng(out, screen->data(), screenW, screenH) ? 0 : 2;
}

// differs FRAME.png SHOT.ppm [X Y W H]: how many pixels of a screenshot (a
// binary PPM, as grim writes it) differ from the frame fitted to its size,
// outside that box; as fast at 4K as a check run in a loop must be.
int runDiffers(const std::string &in, const std::string &shotPath, int skipX, int skipY, int skipW,
               int skipH) {
  std::FILE *f = std::fopen(shotPath.c_str(), "rb");
  int w = 0, h = 0, maxValue = 0;
  if (f == nullptr || std::fscanf(f, "P6 %d %d %d", &w, &h, &maxValue) != 3 || maxValue != 255 ||
      w <= 0 || h <= 0 || std::fgetc(f) == EOF) {
    std::fprintf(stderr, "cannot read %s\n", shotPath.c_str());
    if (f != nullptr)
      std::fclose(f);
    return 2;
  }
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
  const bool whole = std::fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
  std::fclose(f);
  const auto screen = fittedScreen(in, w, h);
  if (!whole || !screen)
    return 2;
  long differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (x >= skipX && x < skipX + skipW && y >= skipY && y < skipY + skipH)
        continue;
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      const std::uint32_t shot = 0xFF000000u | (std::uint32_t{rgb[i * 3]} << 16) |
                                 (std::uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
      differing += shot != (*screen)[i] ? 1 : 0;
    }
  std::printf("%ld\n", differing);
  return 0;
}

// at SCREENW SCREENH X Y: the screen pixel in the middle of frame pixel (X, Y)
// of a 1024 x 768 frame fitted to that screen.
int runAt(int screenW, int screenH, int x, int y) {
  const TScreenFit fit = FitFrame(1024, 768, screenW, screenH);
  std::printf("%d %d\n", fit.ScreenX(x), fit.ScreenY(y));
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "frame" && argc > 2)
    return runFrame(argv[2], argc > 3 ? std::atof(argv[3]) : 3.0);
  if (mode == "input")
    return runInput(argc > 2 ? std::atof(argv[2]) : 30.0, argc > 3 ? std::atoi(argv[3]) : 123);
  if (mode == "scale" && argc > 5)
    return runScale(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
  if (mode == "differs" && argc > 3)
    return runDiffers(argv[2], argv[3], argc > 7 ? std::atoi(argv[4]) : 0,
                      argc > 7 ? std::atoi(argv[5]) : 0, argc > 7 ? std::atoi(argv[6]) : 0,
                      argc > 7 ? std::atoi(argv[7]) : 0);
  if (mode == "at" && argc > 5)
    return runAt(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  if (mode == "bench")
    return runBench(argc > 2 ? std::atoi(argv[2]) : 200);
  std::fprintf(stderr,
               "usage: window_probe frame EXPECTED.png [SECONDS] | input [SECONDS] "
               "[STOPKEY] | bench [FRAMES] | scale FRAME.png W H OUT.png | differs FRAME.png "
               "SHOT.ppm [X Y W H] | at W H X Y\n");
  return 2;
}
