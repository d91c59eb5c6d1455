// The small pictures: the six bar buttons, the two shot markers and the click marker.
#include <array>
#include <cmath>
#include <string_view>

#include "art.h"
#include "pixel_font.h"

namespace {

constexpr int kButtonW = 50, kButtonH = 30;
constexpr Rgb kOutline = rgb(10, 10, 18);

struct ButtonLook {
  std::string_view label;
  Rgb face;
};

ButtonLook lookOf(ButtonKind kind) {
  switch (kind) {
  case ButtonKind::Equip:
    return {"EQUIP", rgb(35, 110, 130)};
  case ButtonKind::Hull:
    return {"HULL", rgb(70, 88, 120)};
  case ButtonKind::Swap:
    return {"SWAP", rgb(95, 65, 135)};
  case ButtonKind::Grid:
    return {"GRID", rgb(78, 84, 96)};
  case ButtonKind::New:
    return {"NEW", rgb(45, 115, 55)};
  case ButtonKind::Battle:
    return {"BATTLE", rgb(160, 38, 32)};
  }
  return {"?", rgb(80, 80, 80)};
}

// Two small crossed swords centred on (cx, cy); used on the battle button.
void drawSmallSwords(Canvas &c, int cx, int cy) {
  Canvas s(c.width(), c.height());
  const Rgb blade = rgb(230, 235, 245), hilt = rgb(245, 195, 60);
  s.line(cx - 5, cy - 5, cx + 3, cy + 3, blade);
  s.line(cx + 5, cy - 5, cx - 3, cy + 3, blade);
  s.line(cx + 1, cy + 4, cx + 4, cy + 1, hilt);
  s.line(cx - 1, cy + 4, cx - 4, cy + 1, hilt);
  s.set(cx + 5, cy + 5, hilt);
  s.set(cx - 5, cy + 5, hilt);
  s.outline(kOutline);
  c.blit(s, 0, 0);
}

void drawButtonIcon(Canvas &c, ButtonKind kind) {
  const Rgb white = rgb(245, 245, 250);
  Canvas icon(kButtonW, kButtonH);
  switch (kind) {
  case ButtonKind::Equip: {
    // A chip: an inner system.
    icon.fillRect(20, 5, 29, 13, rgb(60, 220, 240));
    icon.fillRect(22, 7, 27, 11, rgb(15, 60, 80));
    for (int y = 6; y <= 12; y += 2) {
      icon.set(18, y, white);
      icon.set(19, y, white);
      icon.set(30, y, white);
      icon.set(31, y, white);
    }
    break;
  }
  case ButtonKind::Hull: {
    // The three structure classes in their colours.
    const std::array<Rgb, 3> classes = {rgb(230, 60, 35), rgb(110, 160, 230), rgb(90, 200, 70)};
    for (int k = 0; k < 3; ++k)
      icon.fillRect(15 + 7 * k, 6, 19 + 7 * k, 12, classes[static_cast<std::size_t>(k)]);
    break;
  }
  case ButtonKind::Swap: {
    const Rgb arrow = rgb(255, 220, 90);
    icon.line(16, 6, 32, 6, arrow);
    icon.line(16, 7, 32, 7, arrow);
    icon.fillPolygon({{30, 3}, {35, 6.5}, {30, 10}}, arrow);
    icon.line(17, 12, 33, 12, white);
    icon.line(17, 13, 33, 13, white);
    icon.fillPolygon({{19, 9}, {14, 12.5}, {19, 16}}, white);
    break;
  }
  case ButtonKind::Grid: {
    for (int k = 0; k < 4; ++k) {
      icon.line(19 + 4 * k, 4, 19 + 4 * k, 15, white);
      icon.line(18, 5 + 3 * k, 32, 5 + 3 * k, white);
    }
    break;
  }
  case ButtonKind::New: {
    // A fresh sheet with a star.
    icon.fillRect(19, 4, 29, 15, rgb(235, 240, 250));
    icon.fillPolygon({{26, 4}, {30, 4}, {30, 8}}, rgb(150, 160, 180));
    const Rgb star = rgb(255, 210, 40);
    icon.line(31, 9, 37, 15, star);
    icon.line(37, 9, 31, 15, star);
    icon.line(34, 8, 34, 16, star);
    icon.line(30, 12, 38, 12, star);
    break;
  }
  case ButtonKind::Battle:
    drawSmallSwords(c, 25, 9);
    return;
  }
  icon.outline(kOutline);
  c.blit(icon, 0, 0);
}

// Two crossed swords painted onto a 25 x 25 marker.
void paintCrossedSwords(Canvas &s, Rgb blade, Rgb edge, Rgb hilt) {
  for (int side = 0; side < 2; ++side) {
    auto X = [side](double x) { return side == 0 ? x : 24.0 - x; };
    s.thickLine(X(4), 4, X(16), 16, 1.0, blade);
    s.line(static_cast<int>(X(4)), 3, static_cast<int>(X(16)), 15, edge);
    s.thickLine(X(14.2), 18.2, X(18.2), 14.2, 0.6, hilt); // cross-guard
    s.thickLine(X(17), 17, X(19.5), 19.5, 0.7, hilt);     // grip
    s.fillCircle(X(20.5), 20.5, 1.3, hilt);               // pommel
  }
}

} // namespace

Canvas drawButton(ButtonKind kind) {
  const ButtonLook look = lookOf(kind);
  Canvas c(kButtonW, kButtonH);
  const Rgb lit = mix(look.face, rgb(255, 255, 255), 0.45);
  const Rgb dark = shade(look.face, 0.45);
  c.fillRect(0, 0, kButtonW - 1, kButtonH - 1, rgb(16, 16, 24));
  for (int y = 1; y < kButtonH - 1; ++y)
    for (int x = 1; x < kButtonW - 1; ++x) {
      const bool bevelTopLeft = x <= 2 || y <= 2;
      const bool bevelBottomRight = x >= kButtonW - 3 || y >= kButtonH - 3;
      Rgb col = shade(look.face, 1.18 - 0.36 * (y - 3) / (kButtonH - 6));
      if (bevelBottomRight && !(bevelTopLeft && x + y < kButtonH))
        col = dark;
      else if (bevelTopLeft)
        col = lit;
      c.set(x, y, col);
    }
  drawButtonIcon(c, kind);
  const int w = textWidth(look.label, 1);
  drawTextShadowed(c, (kButtonW - w) / 2, 18, look.label, rgb(255, 255, 255), kOutline);
  return c;
}

Canvas drawPlayerShotMarker() {
  // Cyan swords inside green target-lock brackets.
  Canvas s(25, 25);
  const Rgb bracket = rgb(70, 255, 120);
  for (const auto &[x, y, dx, dy] : std::array<std::array<int, 4>, 4>{
           {{1, 1, 1, 1}, {23, 1, -1, 1}, {1, 23, 1, -1}, {23, 23, -1, -1}}}) {
    s.line(x, y, x + 4 * dx, y, bracket);
    s.line(x, y, x, y + 4 * dy, bracket);
  }
  s.outline(kOutline);
  // Outlined on their own so they stand out from the cell beneath.
  Canvas swords(25, 25);
  paintCrossedSwords(swords, rgb(110, 235, 255), rgb(220, 255, 255), rgb(60, 215, 90));
  swords.outline(kOutline);
  s.blit(swords, 0, 0);
  return s;
}

Canvas drawEnemyShotMarker() {
  Canvas s(25, 25);
  // A jagged red burst behind red-and-magenta swords.
  std::vector<std::pair<double, double>> burst;
  for (int k = 0; k < 24; ++k) {
    const double angle = k * 3.14159265358979 / 12.0;
    const double r = (k % 2 == 0) ? 11.8 : 6.0;
    burst.push_back({12.5 + r * std::cos(angle), 12.5 + r * std::sin(angle)});
  }
  s.fillPolygon(burst, rgb(200, 20, 50));
  s.fillCircle(12.5, 12.5, 5.0, rgb(255, 110, 40));
  paintCrossedSwords(s, rgb(255, 90, 210), rgb(255, 200, 240), rgb(255, 200, 60));
  s.outline(kOutline);
  return s;
}

Canvas drawClickMarker() {
  Canvas s(16, 16);
  // Ripples spreading from the pointer's tip at the top-left corner.
  s.ring(0.5, 0.5, 5.5, 4.2, rgb(255, 255, 210));
  s.ring(0.5, 0.5, 10.0, 8.7, rgb(255, 220, 50));
  s.ring(0.5, 0.5, 14.5, 13.2, rgb(255, 140, 30));
  s.fillRect(0, 0, 1, 1, rgb(255, 255, 255));
  s.outline(kOutline);
  return s;
}
