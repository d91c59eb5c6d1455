// The display: back buffer, clearing, presenting with its pacing, and lines.
#include "display.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "backend.h"
#include "input.h"

namespace {
std::unique_ptr<TDisplay> openDisplay;
bool everCurrent = false;
bool exitHandlerInstalled = false;

void closeDisplay() {
  if (!openDisplay)
    return;
  Backend().CloseWindow();
  DisableInput();
  openDisplay.reset();
}

std::uint32_t opaque(int r, int g, int b) {
  return 0xFF000000u | (static_cast<std::uint32_t>(r & 255) << 16) |
         (static_cast<std::uint32_t>(g & 255) << 8) | static_cast<std::uint32_t>(b & 255);
}

void present(bool inStepWithRefresh) {
  TDisplay &d = *openDisplay;
  Backend().Present(d.pixels.data(), d.width, d.height, inStepWithRefresh);
}

void plot(TDisplay &d, long x, long y, std::uint32_t color) {
  if (x < 0 || y < 0 || x >= d.width || y >= d.height)
    return;
  d.pixels[static_cast<std::size_t>(y) * d.width + x] = color;
}
} // namespace

TDisplay *CurrentDisplay() { return openDisplay.get(); }

TDisplay *OpenDisplay(int width, int height, int depth, int hertz, int flags) {
  closeDisplay();
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
    return nullptr;
  if (!Backend().OpenWindow(width, height, depth != 0, hertz))
    return nullptr;

  auto display = std::make_unique<TDisplay>();
  display->width = width;
  display->height = height;
  display->depth = depth;
  display->flags = flags | 2; // always drawn through a back buffer
  display->state.viewport_w = width;
  display->state.viewport_h = height;
  display->pixels.assign(static_cast<std::size_t>(width) * height, opaque(0, 0, 0));
  openDisplay = std::move(display);
  TDisplay &d = *openDisplay;

  if (!everCurrent) {
    // The screen starts black: both buffers of the window are cleared once.
    everCurrent = true;
    Cls();
    Flip(0);
    Cls();
    Flip(0);
  }

  TPacing &p = d.pacing;
  p.hertz = hertz;
  if (depth != 0) {
    p.paceBySleep = 0;
    p.paceByVsync = hertz != 0 ? 1 : 0;
    Backend().MovePointer(width / 2, height / 2);
  } else {
    p.paceByVsync = 0;
    p.paceBySleep = hertz != 0 ? 1 : 0;
  }
  if (p.paceBySleep) {
    p.framePeriodMs = 1000 / hertz;
    p.periodRemainder = 1000 - p.framePeriodMs * hertz;
    p.remainderAccum = 0;
    p.nextFrameTime = Backend().Milliseconds();
  }

  if (!InputEnabled())
    EnableInput();
  if (!exitHandlerInstalled) {
    exitHandlerInstalled = true;
    std::atexit(closeDisplay);
  }
  return openDisplay.get();
}

void Cls() {
  TDisplay *d = openDisplay.get();
  if (!d)
    return;
  const TDrawState &s = d->state;
  std::fill(d->pixels.begin(), d->pixels.end(),
            opaque(s.clscolor_red, s.clscolor_green, s.clscolor_blue));
}

void Flip(int sync) {
  TDisplay *d = openDisplay.get();
  if (!d)
    return;
  if (sync != -1) {
    present(sync != 0);
    return;
  }
  TPacing &p = d->pacing;
  if (p.paceBySleep) {
    p.nextFrameTime += p.framePeriodMs;
    p.remainderAccum += p.periodRemainder;
    if (p.remainderAccum >= p.hertz) {
      p.remainderAccum -= p.hertz;
      p.nextFrameTime += 1;
    }
    auto wait = static_cast<std::int32_t>(p.nextFrameTime - Backend().Milliseconds());
    if (wait > 0)
      Backend().SleepMilliseconds(static_cast<std::uint32_t>(wait));
    else
      p.nextFrameTime = Backend().Milliseconds(); // a late frame does not catch up
    present(false);
    return;
  }
  present(p.paceByVsync == 1);
}

void DrawLine(double x1, double y1, double x2, double y2, int lastPixel) {
  TDisplay *d = openDisplay.get();
  if (!d)
    return;
  const TDrawState &s = d->state;
  const std::uint32_t color = opaque(s.color_red, s.color_green, s.color_blue);
  // Bresenham from pixel centre to pixel centre; the end pixel belongs to the
  // segment only through lastPixel. Long lines are cut to the display first
  // in effect by skipping plots outside it; the step count is bounded.
  auto clampCoord = [](double v) { return std::clamp(std::floor(v), -1.0e6, 1.0e6); };
  long x = static_cast<long>(clampCoord(x1)), y = static_cast<long>(clampCoord(y1));
  const long ex = static_cast<long>(clampCoord(x2)), ey = static_cast<long>(clampCoord(y2));
  const long dx = std::labs(ex - x), dy = -std::labs(ey - y);
  const long sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1;
  long err = dx + dy;
  while (x != ex || y != ey) {
    plot(*d, x, y, color);
    long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  if (lastPixel != 0)
    plot(*d, ex, ey, color);
}
