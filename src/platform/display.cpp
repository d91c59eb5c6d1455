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

void plot(TDisplay &d, std::int64_t x, std::int64_t y, std::uint32_t color) {
  if (x < 0 || y < 0 || x >= d.width || y >= d.height)
    return;
  d.pixels[static_cast<std::size_t>(y) * d.width + static_cast<std::size_t>(x)] = color;
}

// Line ends farther out than this are first moved along the line to it, so
// the pixel arithmetic of DrawLine stays exact in 64 bits.
constexpr double kFarCoordinate = 4503599627370496.0; // 2^52

// Liang-Barsky in long double; the coordinate that meets the box is set to the
// box edge itself, so lines along an axis stay exact however far their ends.
bool moveEndsIntoBox(double &x1, double &y1, double &x2, double &y2) {
  auto inside = [&] {
    return std::max({std::fabs(x1), std::fabs(y1), std::fabs(x2), std::fabs(y2)}) <= kFarCoordinate;
  };
  if (inside())
    return true;
  const long double far = kFarCoordinate, ax = x1, ay = y1;
  const long double dx = static_cast<long double>(x2) - ax, dy = static_cast<long double>(y2) - ay;
  const long double p[4] = {-dx, dx, -dy, dy};
  const long double q[4] = {ax + far, far - ax, ay + far, far - ay};
  long double t0 = 0, t1 = 1;
  int edge0 = -1, edge1 = -1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0)
        return false;
    } else if (p[i] < 0 && q[i] / p[i] > t0) {
      t0 = q[i] / p[i];
      edge0 = i;
    } else if (p[i] > 0 && q[i] / p[i] < t1) {
      t1 = q[i] / p[i];
      edge1 = i;
    }
  }
  if (!(t0 <= t1))
    return false;
  auto place = [&](long double t, int edge, double &x, double &y) {
    if (edge < 0)
      return;
    x = edge == 0 ? -kFarCoordinate : edge == 1 ? kFarCoordinate : static_cast<double>(ax + t * dx);
    y = edge == 2 ? -kFarCoordinate : edge == 3 ? kFarCoordinate : static_cast<double>(ay + t * dy);
  };
  place(t0, edge0, x1, y1);
  place(t1, edge1, x2, y2);
  return inside();
}
} // namespace

void CloseDisplay() {
  closeDisplay();
}

TDisplay *CurrentDisplay() {
  return openDisplay.get();
}

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

namespace {
// The pixel ends of a line, or nothing when no pixel of it can be drawn.
struct TLineEnds {
  std::int64_t ax, ay, bx, by;
};

bool lineEnds(double x1, double y1, double x2, double y2, TLineEnds &ends) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return false; // no line has a non-finite end
  if (!moveEndsIntoBox(x1, y1, x2, y2))
    return false;
  ends = {static_cast<std::int64_t>(std::floor(x1)), static_cast<std::int64_t>(std::floor(y1)),
          static_cast<std::int64_t>(std::floor(x2)), static_cast<std::int64_t>(std::floor(y2))};
  return true;
}

// Bresenham from pixel centre to pixel centre, without the end pixel. Step n
// along the major axis lies floor((2 n minor + major) / (2 major)) along the
// minor one, so the walk starts at the first step inside the display and
// stops at the last.
void walkLine(TDisplay &d, const TLineEnds &e, std::uint32_t color) {
  const std::int64_t ax = e.ax, ay = e.ay, bx = e.bx, by = e.by;
  const std::int64_t adx = bx > ax ? bx - ax : ax - bx, ady = by > ay ? by - ay : ay - by;
  const bool xMajor = adx >= ady;
  const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const std::int64_t a0 = xMajor ? ax : ay, b0 = xMajor ? ay : ax;
  const std::int64_t sa = (xMajor ? bx > ax : by > ay) ? 1 : -1;
  const std::int64_t sb = (xMajor ? by > ay : bx > ax) ? 1 : -1;
  const std::int64_t limitA = xMajor ? d.width : d.height, limitB = xMajor ? d.height : d.width;
  const std::int64_t nFirst = std::max<std::int64_t>(sa > 0 ? -a0 : a0 - (limitA - 1), 0);
  const std::int64_t nLast = std::min<std::int64_t>(sa > 0 ? limitA - 1 - a0 : a0, major - 1);
  if (nFirst > nLast)
    return;
  const __int128 numerator = static_cast<__int128>(2) * nFirst * minor + major;
  const __int128 denominator = static_cast<__int128>(2) * major;
  auto q = static_cast<std::int64_t>(numerator / denominator);
  auto r = static_cast<std::int64_t>(numerator % denominator);
  for (std::int64_t n = nFirst; n <= nLast; ++n) {
    const std::int64_t a = a0 + sa * n, b = b0 + sb * q;
    if (b >= 0 && b < limitB)
      xMajor ? plot(d, a, b, color) : plot(d, b, a, color);
    r += 2 * minor;
    if (r >= 2 * major) {
      r -= 2 * major;
      ++q;
    }
  }
}

// A line along a row or a column is one span of the walk's pixels: from the
// start up to the end, the end pixel only through lastPixel.
void spanLine(TDisplay &d, const TLineEnds &e, int lastPixel, std::uint32_t color) {
  const bool alongRow = e.ay == e.by;
  const std::int64_t start = alongRow ? e.ax : e.ay, stop = alongRow ? e.bx : e.by;
  const std::int64_t across = alongRow ? e.ay : e.ax;
  if (across < 0 || across >= (alongRow ? d.height : d.width))
    return;
  std::int64_t lo = start, hi = stop; // inclusive
  if (start <= stop)
    hi = lastPixel != 0 ? stop : stop - 1;
  else {
    lo = lastPixel != 0 ? stop : stop + 1;
    hi = start;
  }
  lo = std::max<std::int64_t>(lo, 0);
  hi = std::min<std::int64_t>(hi, (alongRow ? d.width : d.height) - 1);
  if (lo > hi)
    return;
  if (alongRow) {
    std::uint32_t *row = d.row(static_cast<int>(across));
    std::fill(row + lo, row + hi + 1, color);
    return;
  }
  std::uint32_t *p = d.pixels.data() + static_cast<std::size_t>(lo) * d.width + across;
  for (std::int64_t y = lo; y <= hi; ++y, p += d.width)
    *p = color;
}

std::uint32_t lineColor(const TDisplay &d) {
  return opaque(d.state.color_red, d.state.color_green, d.state.color_blue);
}
} // namespace

void DrawLine(double x1, double y1, double x2, double y2, int lastPixel) {
  TDisplay *d = openDisplay.get();
  TLineEnds ends;
  if (!d || !lineEnds(x1, y1, x2, y2, ends))
    return;
  if (ends.ax == ends.bx || ends.ay == ends.by) {
    spanLine(*d, ends, lastPixel, lineColor(*d));
    return;
  }
  walkLine(*d, ends, lineColor(*d));
  if (lastPixel != 0)
    plot(*d, ends.bx, ends.by, lineColor(*d));
}

void DrawLineStepwise(double x1, double y1, double x2, double y2, int lastPixel) {
  TDisplay *d = openDisplay.get();
  TLineEnds ends;
  if (!d || !lineEnds(x1, y1, x2, y2, ends))
    return;
  walkLine(*d, ends, lineColor(*d));
  if (lastPixel != 0)
    plot(*d, ends.bx, ends.by, lineColor(*d));
}
