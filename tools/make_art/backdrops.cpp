// The two full-screen pictures: the palettes' backdrop with its legend, and the board.
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "art.h"
#include "pixel_font.h"

namespace {

constexpr int kScreenW = 1024, kScreenH = 768;

// The palettes draw their items here: up to 250 x 250, with the selection
// bands reaching down to y = 309. The area stays plain and dark.
constexpr int kTrayRight = 263, kTrayBottom = 319;

// A fixed-seed generator, so every build paints the same stars.
struct Lcg {
  std::uint32_t state;
  std::uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

void paintSpace(Canvas &c, std::uint32_t seed) {
  // Deep blue-violet with two faint nebula glows; never pure black.
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const double t = static_cast<double>(y) / c.height();
      Rgb col = mix(rgb(6, 8, 22), rgb(14, 8, 30), t);
      const double d1 = std::hypot(x - 640.0, y - 600.0) / 360.0;
      const double d2 = std::hypot(x - 150.0, y - 560.0) / 260.0;
      if (d1 < 1.0)
        col = mix(col, rgb(40, 16, 60), (1.0 - d1) * (1.0 - d1) * 0.8);
      if (d2 < 1.0)
        col = mix(col, rgb(10, 30, 60), (1.0 - d2) * (1.0 - d2) * 0.8);
      c.set(x, y, col);
    }
  Lcg rng{seed};
  for (int k = 0; k < 1400; ++k) {
    const int x = rng.below(c.width()), y = rng.below(c.height());
    const int kind = rng.below(100);
    const int tint = rng.below(3);
    const Rgb hue =
        tint == 0 ? rgb(255, 255, 255) : (tint == 1 ? rgb(190, 210, 255) : rgb(255, 230, 190));
    if (kind < 70) {
      c.set(x, y, shade(hue, 0.25 + rng.below(30) / 100.0));
    } else if (kind < 95) {
      c.set(x, y, shade(hue, 0.6 + rng.below(40) / 100.0));
    } else {
      // A bright star with a small cross of light.
      c.set(x, y, hue);
      const Rgb glow = shade(hue, 0.5);
      c.set(x - 1, y, glow);
      c.set(x + 1, y, glow);
      c.set(x, y - 1, glow);
      c.set(x, y + 1, glow);
    }
  }
}

void paintPlanet(Canvas &c, double cx, double cy, double r, Rgb base, Rgb lit) {
  for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
    for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
      const double dx = (x + 0.5 - cx) / r, dy = (y + 0.5 - cy) / r, d2 = dx * dx + dy * dy;
      if (d2 > 1.0)
        continue;
      const double dz = std::sqrt(1.0 - d2);
      // Light from the upper left; bands across the surface.
      const double light = std::max(0.0, -0.55 * dx - 0.45 * dy + 0.7 * dz);
      const double band = 0.5 + 0.5 * std::sin(dy * 9.0 + dx * 1.5);
      const Rgb surface = mix(base, lit, 0.35 * band);
      c.set(x, y, shade(surface, 0.15 + 0.95 * light));
    }
}

// A bevelled panel with a dark, calm face.
void paintPanel(Canvas &c, int x0, int y0, int x1, int y1, Rgb face) {
  c.fillRect(x0, y0, x1, y1, face);
  c.frameRect(x0, y0, x1, y1, rgb(70, 95, 140));
  c.line(x0 + 1, y0 + 1, x1 - 1, y0 + 1, rgb(40, 55, 90));
  c.line(x0 + 1, y0 + 1, x0 + 1, y1 - 1, rgb(40, 55, 90));
  // Corner studs.
  for (const auto &[x, y] : std::array<std::pair<int, int>, 4>{
           {{x0 + 4, y0 + 4}, {x1 - 5, y0 + 4}, {x0 + 4, y1 - 5}, {x1 - 5, y1 - 5}}})
    c.fillRect(x, y, x + 1, y + 1, rgb(110, 140, 190));
}

constexpr Rgb kTextWhite = rgb(235, 238, 245);
constexpr Rgb kTextDim = rgb(170, 180, 200);
constexpr Rgb kTextGold = rgb(255, 215, 80);
constexpr Rgb kTextSky = rgb(130, 190, 255);
constexpr Rgb kShadow = rgb(4, 4, 10);

void say(Canvas &c, int x, int y, std::string_view text, Rgb colour, int scale = 2) {
  drawTextShadowed(c, x, y, text, colour, kShadow, scale);
}

// A hull sample shown twice its size, with an optional system laid over it.
void sample(Canvas &c, int x, int y, int hullItem, int systemItem) {
  Canvas cell = drawHullItem(hullItem);
  if (systemItem > 0)
    cell.blit(drawSystemItem(systemItem), 3, 3);
  c.frameRect(x - 1, y - 1, x + 50, y + 50, rgb(70, 95, 140));
  c.blitScaled(cell, x, y, 2);
}

void paintLegend(Canvas &c) {
  const int left = 280, top = 14, right = 1008, bottom = 540;
  paintPanel(c, left, top, right, bottom, rgb(12, 16, 32));
  const int x = left + 20;
  int y = top + 16;
  say(c, x, y, "SHIPYARD SUPPLIES", kTextGold, 3);
  y += 40;
  say(c, x, y, "Click an item to carry it", kTextWhite);
  y += 22;
  say(c, x, y, "then click a cell of the ship grid to place it.", kTextWhite);
  y += 22;
  say(c, x, y, "The red X (top left item) clears a cell.", kTextDim);
  y += 22;
  say(c, x, y, "Pick one to go back to your ship.", kTextDim);
  y += 34;

  say(c, x, y, "STRUCTURE items - the hull of a cell:", kTextSky);
  y += 26;
  const int tx = x + 66;
  sample(c, x, y, 24, 0);
  say(c, tx, y + 6, "WEAPON  red, gun turret", rgb(255, 140, 90));
  say(c, tx, y + 28, "adds its number to the ship's firepower", kTextDim);
  y += 58;
  sample(c, x, y, 47, 0);
  say(c, tx, y + 6, "ARMOUR  blue, shield plate", rgb(140, 185, 255));
  say(c, tx, y + 28, "lowers the firepower of the ship it faces", kTextDim);
  y += 58;
  sample(c, x, y, 50, 0);
  say(c, tx, y + 6, "CARGO   green, yellow crate", rgb(150, 230, 100));
  say(c, tx, y + 28, "paid out in credits when you win", kTextDim);
  y += 66;

  say(c, x, y, "EQUIP items - internal systems:", kTextSky);
  y += 26;
  sample(c, x, y, 47, 3);
  sample(c, x + 58, y, 30, 25);
  sample(c, x + 116, y, 50, 44);
  say(c, x + 182, y + 6, "crew, engine, reactor, computer...", kTextWhite);
  say(c, x + 182, y + 28, "laid over a hull cell; they take hits first", kTextDim);
  y += 70;

  say(c, x, y, "Item number = its value", kTextGold, 3);
  y += 32;
  say(c, x, y, "(price in credits, and firepower, armour or cargo)", kTextDim);
}

} // namespace

Canvas drawPaletteBackdrop() {
  Canvas c(kScreenW, kScreenH);
  paintSpace(c, 31u);
  paintPlanet(c, 880, 690, 150, rgb(60, 110, 170), rgb(150, 200, 230));
  paintPlanet(c, 640, 610, 26, rgb(150, 120, 90), rgb(220, 190, 150));
  // The tray the items are laid out on.
  c.fillRect(0, 0, kTrayRight, kTrayBottom, rgb(10, 12, 24));
  c.line(kTrayRight + 1, 0, kTrayRight + 1, kTrayBottom + 1, rgb(70, 95, 140));
  c.line(0, kTrayBottom + 1, kTrayRight + 1, kTrayBottom + 1, rgb(70, 95, 140));
  c.line(kTrayRight + 2, 0, kTrayRight + 2, kTrayBottom + 2, rgb(30, 40, 70));
  c.line(0, kTrayBottom + 2, kTrayRight + 2, kTrayBottom + 2, rgb(30, 40, 70));
  say(c, 10, kTrayBottom + 12, "SUPPLY TRAY", kTextSky);
  paintLegend(c);
  return c;
}

Canvas drawBoard() {
  Canvas c(kScreenW, kScreenH);
  paintSpace(c, 7u);
  paintPlanet(c, 170, 640, 90, rgb(150, 70, 50), rgb(230, 160, 110));
  // A plotting board of 25-pixel squares, like the ship grid.
  const int x0 = 262, y0 = 160, cols = 20, rows = 16;
  c.fillRect(x0 - 8, y0 - 8, x0 + 25 * cols + 8, y0 + 25 * rows + 8, rgb(12, 18, 36));
  c.frameRect(x0 - 8, y0 - 8, x0 + 25 * cols + 8, y0 + 25 * rows + 8, rgb(70, 95, 140));
  for (int k = 0; k <= cols; ++k)
    c.line(x0 + 25 * k, y0, x0 + 25 * k, y0 + 25 * rows, rgb(35, 55, 95));
  for (int k = 0; k <= rows; ++k)
    c.line(x0, y0 + 25 * k, x0 + 25 * cols, y0 + 25 * k, rgb(35, 55, 95));
  // A small ship plotted on the board.
  const std::array<std::pair<int, int>, 14> cells = {{{8, 6},
                                                      {9, 6},
                                                      {10, 6},
                                                      {11, 6},
                                                      {7, 7},
                                                      {8, 7},
                                                      {9, 7},
                                                      {10, 7},
                                                      {11, 7},
                                                      {12, 7},
                                                      {8, 8},
                                                      {9, 8},
                                                      {10, 8},
                                                      {11, 8}}};
  const std::array<int, 14> hull = {3, 25, 26, 6, 1, 47, 50, 51, 52, 2, 30, 31, 32, 96};
  const std::array<int, 14> systems = {0, 1, 0, 0, 0, 11, 21, 31, 41, 0, 0, 71, 0, 0};
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const int cx = x0 + 25 * cells[k].first, cy = y0 + 25 * cells[k].second;
    c.blit(drawHullItem(hull[k]), cx, cy);
    if (systems[k] > 0)
      c.blit(drawSystemItem(systems[k]), cx + 3, cy + 3);
  }
  const char *title = "DRAYVANE 31";
  say(c, (kScreenW - textWidth(title, 6)) / 2, 40, title, kTextGold, 6);
  const char *sub = "SHIP DESIGN BOARD";
  say(c, (kScreenW - textWidth(sub, 2)) / 2, 112, sub, kTextSky);
  return c;
}
