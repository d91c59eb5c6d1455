// A small picture in memory with the clipped drawing calls the art generator paints with.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb &, const Rgb &) = default;
};

constexpr Rgb rgb(int r, int g, int b) {
  return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
             static_cast<std::uint8_t>(b)};
}

// Mixes a toward b by t in 0..1.
Rgb mix(Rgb a, Rgb b, double t);
// Scales every channel by f, clamped to 0..255.
Rgb shade(Rgb c, double f);

// The darkest colour we paint when something must stay opaque: the game treats
// pure black as see-through in pictures without alpha.
constexpr Rgb kInk = rgb(8, 8, 16);

// Pixels are either painted (opaque) or clear; clear pixels are written as
// pure black, which the game shows as transparent.
class Canvas {
public:
  Canvas(int width, int height);

  int width() const { return w_; }
  int height() const { return h_; }

  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  bool opaque(int x, int y) const { return inside(x, y) && on_[index(x, y)] != 0; }
  Rgb at(int x, int y) const { return inside(x, y) ? px_[index(x, y)] : Rgb{}; }

  void set(int x, int y, Rgb c);
  void clear(int x, int y);
  void fillRect(int x0, int y0, int x1, int y1, Rgb c); // corners inclusive
  void frameRect(int x0, int y0, int x1, int y1, Rgb c);
  void line(int x0, int y0, int x1, int y1, Rgb c);
  // A line of round dabs of the given radius, for thick strokes.
  void thickLine(double x0, double y0, double x1, double y1, double radius, Rgb c);
  // Paints every pixel whose centre lies within r of (cx, cy).
  void fillCircle(double cx, double cy, double r, Rgb c);
  void ring(double cx, double cy, double rOuter, double rInner, Rgb c);
  // Paints every pixel whose centre lies inside the polygon (even-odd rule).
  void fillPolygon(const std::vector<std::pair<double, double>> &points, Rgb c);

  // Paints every clear pixel that touches a painted one (8 neighbours).
  void outline(Rgb c);
  // Copies the painted pixels of src with its top-left at (x, y).
  void blit(const Canvas &src, int x, int y);
  // Copies the painted pixels of src enlarged by a whole factor.
  void blitScaled(const Canvas &src, int x, int y, int factor);
  // Cuts a w x h piece out of this canvas.
  Canvas crop(int x, int y, int w, int h) const;

  // Rows of RGB bytes, clear pixels as (0, 0, 0).
  std::vector<std::uint8_t> rgbBytes() const;

private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x);
  }

  int w_, h_;
  std::vector<Rgb> px_;
  std::vector<std::uint8_t> on_;
};
