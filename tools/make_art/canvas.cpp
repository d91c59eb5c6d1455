// Clipped drawing on the generator's in-memory pictures.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t clampByte(double v) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}

} // namespace

Rgb mix(Rgb a, Rgb b, double t) {
  return Rgb{clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
             clampByte(a.b + (b.b - a.b) * t)};
}

Rgb shade(Rgb c, double f) {
  return Rgb{clampByte(c.r * f), clampByte(c.g * f), clampByte(c.b * f)};
}

Canvas::Canvas(int width, int height)
    : w_(std::max(width, 0)), h_(std::max(height, 0)),
      px_(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_)),
      on_(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_), 0) {}

void Canvas::set(int x, int y, Rgb c) {
  if (!inside(x, y))
    return;
  px_[index(x, y)] = c;
  on_[index(x, y)] = 1;
}

void Canvas::clear(int x, int y) {
  if (!inside(x, y))
    return;
  px_[index(x, y)] = Rgb{};
  on_[index(x, y)] = 0;
}

void Canvas::fillRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = std::max(y0, 0); y <= std::min(y1, h_ - 1); ++y)
    for (int x = std::max(x0, 0); x <= std::min(x1, w_ - 1); ++x)
      set(x, y, c);
}

void Canvas::frameRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int x = x0; x <= x1; ++x) {
    set(x, y0, c);
    set(x, y1, c);
  }
  for (int y = y0; y <= y1; ++y) {
    set(x0, y, c);
    set(x1, y, c);
  }
}

void Canvas::line(int x0, int y0, int x1, int y1, Rgb c) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    set(x0, y0, c);
    if (x0 == x1 && y0 == y1)
      break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Canvas::thickLine(double x0, double y0, double x1, double y1, double radius, Rgb c) {
  const double len = std::hypot(x1 - x0, y1 - y0);
  const int steps = std::max(1, static_cast<int>(len * 4));
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    fillCircle(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, radius, c);
  }
}

void Canvas::fillCircle(double cx, double cy, double r, Rgb c) {
  const int x0 = static_cast<int>(std::floor(cx - r)), x1 = static_cast<int>(std::ceil(cx + r));
  const int y0 = static_cast<int>(std::floor(cy - r)), y1 = static_cast<int>(std::ceil(cy + r));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= r * r)
        set(x, y, c);
    }
}

void Canvas::ring(double cx, double cy, double rOuter, double rInner, Rgb c) {
  const int x0 = static_cast<int>(std::floor(cx - rOuter));
  const int x1 = static_cast<int>(std::ceil(cx + rOuter));
  const int y0 = static_cast<int>(std::floor(cy - rOuter));
  const int y1 = static_cast<int>(std::ceil(cy + rOuter));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d2 = dx * dx + dy * dy;
      if (d2 <= rOuter * rOuter && d2 > rInner * rInner)
        set(x, y, c);
    }
}

void Canvas::fillPolygon(const std::vector<std::pair<double, double>> &points, Rgb c) {
  if (points.size() < 3)
    return;
  double minY = points[0].second, maxY = points[0].second;
  for (const auto &p : points) {
    minY = std::min(minY, p.second);
    maxY = std::max(maxY, p.second);
  }
  for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
    const double py = y + 0.5;
    std::vector<double> xs;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto &a = points[i];
      const auto &b = points[(i + 1) % points.size()];
      if ((a.second <= py && b.second > py) || (b.second <= py && a.second > py))
        xs.push_back(a.first + (py - a.second) * (b.first - a.first) / (b.second - a.second));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = static_cast<int>(std::floor(xs[i])); x <= static_cast<int>(std::ceil(xs[i + 1]));
           ++x)
        if (x + 0.5 >= xs[i] && x + 0.5 <= xs[i + 1])
          set(x, y, c);
  }
}

void Canvas::outline(Rgb c) {
  std::vector<std::uint8_t> edge(on_.size(), 0);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      if (opaque(x, y))
        continue;
      for (int dy = -1; dy <= 1 && edge[index(x, y)] == 0; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (opaque(x + dx, y + dy)) {
            edge[index(x, y)] = 1;
            break;
          }
    }
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (edge[index(x, y)] != 0)
        set(x, y, c);
}

void Canvas::blit(const Canvas &src, int x, int y) {
  blitScaled(src, x, y, 1);
}

void Canvas::blitScaled(const Canvas &src, int x, int y, int factor) {
  for (int sy = 0; sy < src.height(); ++sy)
    for (int sx = 0; sx < src.width(); ++sx)
      if (src.opaque(sx, sy))
        fillRect(x + sx * factor, y + sy * factor, x + sx * factor + factor - 1,
                 y + sy * factor + factor - 1, src.at(sx, sy));
}

Canvas Canvas::crop(int x, int y, int w, int h) const {
  Canvas out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (opaque(x + i, y + j))
        out.set(i, j, at(x + i, y + j));
  return out;
}

std::vector<std::uint8_t> Canvas::rgbBytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(px_.size() * 3);
  for (std::size_t i = 0; i < px_.size(); ++i) {
    Rgb c = px_[i];
    // A painted pixel must never come out as the see-through colour.
    if (on_[i] != 0 && c == Rgb{})
      c = rgb(1, 1, 1);
    if (on_[i] == 0)
      c = Rgb{};
    out.push_back(c.r);
    out.push_back(c.g);
    out.push_back(c.b);
  }
  return out;
}
