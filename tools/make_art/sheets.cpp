// The two item sheets: structure items (weapon, armour, cargo) and the systems laid over them.
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "art.h"
#include "pixel_font.h"

namespace {

constexpr int kHullSide = 25;
constexpr int kSystemSide = 20;

// Systems are drawn 3 pixels in from the hull cell's corner.
constexpr int kSystemInset = 3;

// The hull's number tag in the bottom-right corner. Systems keep clear of it
// so the hull's value still shows under them.
constexpr int kTagLeft = 16, kTagTop = 17;

constexpr std::array<int, 20> kWeapons = {3,  6,  9,  12, 15, 18, 21, 24, 30, 36,
                                          42, 48, 54, 60, 66, 72, 78, 84, 90, 96};
constexpr std::array<int, 40> kArmour = {1,  2,  4,  5,  7,  8,  10, 11, 13, 14, 16, 17, 19, 20,
                                         22, 23, 28, 29, 34, 35, 40, 41, 46, 47, 52, 53, 58, 59,
                                         64, 65, 70, 71, 76, 77, 82, 83, 88, 89, 94, 95};

// The ring, background and number colours of each class.
struct ClassLook {
  Rgb ringA, ringB, inner, field, tagEdge;
};
constexpr ClassLook kWeaponLook{rgb(215, 45, 30), rgb(255, 155, 40), rgb(70, 14, 10),
                                rgb(58, 20, 16), rgb(255, 120, 40)};
constexpr ClassLook kArmourLook{rgb(175, 205, 240), rgb(45, 80, 145), rgb(12, 22, 52),
                                rgb(20, 34, 70), rgb(120, 170, 235)};
constexpr ClassLook kCargoLook{rgb(60, 185, 60), rgb(245, 215, 50), rgb(10, 40, 14),
                               rgb(16, 44, 20), rgb(140, 220, 70)};

constexpr Rgb kTag = rgb(12, 12, 20);
constexpr Rgb kNumber = rgb(255, 255, 255);
constexpr Rgb kOutline = rgb(10, 10, 18);

void drawNumberTag(Canvas &c, int item, Rgb edge) {
  c.fillRect(kTagLeft, kTagTop, kHullSide - 1, kHullSide - 1, kTag);
  c.line(kTagLeft, kTagTop, kHullSide - 1, kTagTop, edge);
  c.line(kTagLeft, kTagTop, kTagLeft, kHullSide - 1, edge);
  const int w = smallNumberWidth(item);
  drawSmallNumber(c, kTagLeft + 1 + (7 - w + 1) / 2, kTagTop + 2, item, kNumber);
}

// The 3-pixel ring tells the class even where a system covers the middle.
void drawRing(Canvas &c, HullClass cls, const ClassLook &look) {
  for (int y = 0; y < kHullSide; ++y)
    for (int x = 0; x < kHullSide; ++x) {
      const bool inRing = x < 3 || y < 3 || x > 21 || y > 21;
      if (!inRing)
        continue;
      Rgb col = look.ringA;
      if (cls == HullClass::Weapon) {
        // Hazard stripes.
        col = ((x + y) / 3) % 2 == 0 ? look.ringA : look.ringB;
      } else if (cls == HullClass::Armour) {
        // A bevelled steel frame: lit from the top left.
        col = (x + y < kHullSide - 1) ? look.ringA : look.ringB;
        if ((x < 3 && y < 3) || (x > 21 && y > 21))
          col = mix(look.ringA, look.ringB, 0.5);
      } else {
        // Green frame with yellow corner brackets.
        const bool corner = (x < 7 || x > 17) && (y < 7 || y > 17);
        col = corner ? look.ringB : look.ringA;
      }
      c.set(x, y, col);
    }
  c.frameRect(3, 3, 21, 21, look.inner);
  c.fillRect(4, 4, 20, 20, look.field);
  if (cls == HullClass::Armour) {
    // Rivets in the frame.
    for (const auto &[x, y] :
         std::array<std::pair<int, int>, 6>{{{1, 1}, {23, 1}, {1, 23}, {12, 1}, {1, 12}, {23, 12}}})
      c.set(x, y, rgb(235, 245, 255));
  }
}

void drawWeapon(Canvas &c, int item) {
  // A gun turret: long barrels to the upper right over a round housing.
  // Heavier guns carry two or three barrels.
  const int barrels = item < 25 ? 1 : (item < 60 ? 2 : 3);
  const double radius = barrels == 1 ? 1.5 : 1.0;
  const Rgb barrel = rgb(240, 130, 50), barrelLit = rgb(255, 200, 120), muzzle = rgb(255, 240, 140);
  for (int b = 0; b < barrels; ++b) {
    const double off = (b - (barrels - 1) / 2.0) * 2.3;
    const double x0 = 10.0 + off, y0 = 14.0 + off;
    const double x1 = 18.5 + off, y1 = 5.5 + off;
    c.thickLine(x0, y0, x1, y1, radius + 0.7, rgb(70, 20, 14));
    c.thickLine(x0, y0, x1, y1, radius, barrel);
    c.line(static_cast<int>(x0), static_cast<int>(y0 - radius), static_cast<int>(x1),
           static_cast<int>(y1 - radius), barrelLit);
    c.fillCircle(x1 + 0.3, y1 - 0.3, radius + 0.5, muzzle);
  }
  c.fillCircle(9.5, 14.5, 5.2, rgb(70, 20, 14));
  c.fillCircle(9.5, 14.5, 4.4, rgb(165, 65, 45));
  c.fillCircle(8.6, 13.6, 2.2, rgb(220, 115, 75));
  c.fillRect(6, 15, 13, 15, rgb(110, 40, 28)); // hatch seam
}

void drawArmour(Canvas &c, int item) {
  const std::vector<std::pair<double, double>> shield = {
      {5, 5}, {18, 5}, {18, 12}, {11.5, 20}, {5, 12}};
  c.fillPolygon(shield, rgb(200, 225, 250));
  const std::vector<std::pair<double, double>> face = {
      {6, 6}, {17, 6}, {17, 12}, {11.5, 18.6}, {6, 12}};
  c.fillPolygon(face, rgb(80, 130, 205));
  const std::vector<std::pair<double, double>> lit = {{6, 6}, {11.5, 6}, {11.5, 18.6}, {6, 12}};
  c.fillPolygon(lit, rgb(125, 170, 235));
  // Heavier plate carries one or two chevrons.
  const int chevrons = item < 25 ? 0 : (item < 60 ? 1 : 2);
  for (int k = 0; k < chevrons; ++k) {
    const int y = 8 + 4 * k;
    c.line(7, y, 11, y + 3, rgb(240, 248, 255));
    c.line(12, y + 3, 16, y, rgb(240, 248, 255));
  }
  if (chevrons == 0)
    c.fillCircle(11.5, 10.5, 2.0, rgb(230, 240, 255));
}

void drawCargo(Canvas &c, int item) {
  const Rgb board = rgb(225, 180, 60), dark = rgb(115, 75, 20), lit = rgb(250, 220, 120);
  c.fillRect(4, 5, 17, 17, dark);
  c.fillRect(5, 6, 16, 16, board);
  c.line(5, 6, 16, 6, lit);
  c.line(5, 6, 5, 16, lit);
  // Cross bracing.
  c.line(5, 6, 16, 16, dark);
  c.line(16, 6, 5, 16, dark);
  // Richer loads are strapped with one or two green bands.
  const int bands = item < 50 ? 0 : (item < 80 ? 1 : 2);
  for (int k = 0; k < bands; ++k) {
    const int x = bands == 1 ? 10 : 7 + 5 * k;
    c.fillRect(x, 5, x + 1, 17, rgb(70, 200, 70));
  }
}

void drawHullEraser(Canvas &c) {
  c.fillRect(0, 0, kHullSide - 1, kHullSide - 1, rgb(28, 28, 34));
  for (int i = 0; i < kHullSide; ++i)
    if ((i / 3) % 2 == 0) {
      c.set(i, 0, rgb(120, 120, 130));
      c.set(i, kHullSide - 1, rgb(120, 120, 130));
      c.set(0, i, rgb(120, 120, 130));
      c.set(kHullSide - 1, i, rgb(120, 120, 130));
    }
  Canvas x(kHullSide, kHullSide);
  x.thickLine(6, 6, 18, 18, 1.6, rgb(240, 40, 40));
  x.thickLine(18, 6, 6, 18, 1.6, rgb(240, 40, 40));
  x.outline(kOutline);
  c.blit(x, 0, 0);
}

// Inner systems: ten families of ten (the last has nine), each with its own
// colour and silhouette; the tier inside a family varies a detail.
struct Family {
  Rgb main, lit, dark;
};
constexpr std::array<Family, 10> kFamilies = {{
    {rgb(232, 232, 240), rgb(255, 255, 255), rgb(140, 140, 160)}, // crew
    {rgb(250, 135, 30), rgb(255, 190, 90), rgb(170, 80, 15)},     // engine
    {rgb(90, 235, 60), rgb(190, 255, 140), rgb(30, 120, 30)},     // reactor
    {rgb(40, 205, 240), rgb(160, 240, 255), rgb(15, 100, 140)},   // computer
    {rgb(75, 110, 255), rgb(160, 185, 255), rgb(35, 50, 160)},    // shield generator
    {rgb(235, 60, 200), rgb(255, 150, 235), rgb(130, 25, 110)},   // sensor dish
    {rgb(250, 215, 40), rgb(255, 245, 150), rgb(160, 120, 10)},   // fuel tank
    {rgb(230, 35, 45), rgb(255, 130, 130), rgb(130, 15, 20)},     // medical bay
    {rgb(155, 75, 235), rgb(210, 160, 255), rgb(80, 30, 140)},    // cloak
    {rgb(205, 150, 70), rgb(245, 210, 140), rgb(120, 80, 30)},    // ammunition
}};

// Every system keeps to the top of its frame and the right-hand middle: the
// bottom left holds its number plate, the bottom right stays clear for the
// hull's number.
void drawCrew(Canvas &c, const Family &f, int tier) {
  // Head and shoulders in a space suit; the visor colour is the crew's rank.
  c.fillPolygon({{5, 12.9}, {6.5, 10.5}, {15.5, 10.5}, {16.9, 12.9}}, f.main);
  c.fillCircle(11, 7, 4.2, f.main);
  c.fillCircle(10.2, 6.0, 1.8, f.lit);
  const std::array<Rgb, 5> visors = {rgb(60, 180, 235), rgb(240, 190, 40), rgb(70, 220, 120),
                                     rgb(235, 90, 60), rgb(170, 110, 240)};
  c.fillRect(8, 6, 14, 8, visors[static_cast<std::size_t>(tier % 5)]);
  c.set(8, 6, f.main);
  c.set(14, 6, f.main);
  c.line(9, 6, 11, 6, rgb(240, 250, 255));
  c.line(11, 11, 11, 12, f.dark);
  if (tier >= 5) // senior crew wear an antenna
    c.line(14, 4, 16, 3, f.dark);
}

void drawEngine(Canvas &c, const Family &f, int tier) {
  // A thruster firing to the right: chamber, bell, flame.
  c.fillRect(3, 5, 7, 10, f.dark);
  c.fillRect(4, 6, 6, 9, f.main);
  c.fillPolygon({{7.5, 6}, {12.5, 3}, {12.5, 13}, {7.5, 10}}, f.main);
  c.line(8, 6, 12, 3, f.lit);
  c.line(8, 9, 12, 12, f.dark);
  const int flame = 1 + tier / 3; // 1..4 pixels of flame
  c.fillPolygon({{12.5, 4.5}, {13.0 + flame, 8}, {12.5, 11.5}}, rgb(255, 235, 90));
  c.fillPolygon({{12.5, 6.5}, {12.5 + flame * 0.6, 8}, {12.5, 9.5}}, rgb(255, 255, 230));
}

void drawReactor(Canvas &c, const Family &f, int tier) {
  const double cx = 10.0, cy = 7.5;
  c.fillCircle(cx, cy, 4.9, f.main);
  c.fillCircle(cx, cy, 3.4, f.dark);
  // Three blades of the core.
  c.fillPolygon({{cx, cy}, {cx - 2.2, cy - 3.6}, {cx + 2.2, cy - 3.6}}, f.lit);
  c.fillPolygon({{cx, cy}, {cx + 4.1, cy + 1.6}, {cx + 2.0, cy + 4.3}}, f.lit);
  c.fillPolygon({{cx, cy}, {cx - 2.0, cy + 4.3}, {cx - 4.1, cy + 1.6}}, f.lit);
  c.fillCircle(cx, cy, 1.2, rgb(255, 255, 200));
  if (tier % 2 == 1)
    c.ring(cx, cy, 4.9, 4.1, f.lit);
}

void drawComputer(Canvas &c, const Family &f, int tier) {
  c.fillRect(3, 3, 16, 10, f.main);
  c.line(3, 3, 16, 3, f.lit);
  c.fillRect(5, 5, 14, 8, rgb(12, 40, 60));
  // A different print-out on each screen.
  for (int row = 0; row < 2; ++row) {
    const int len = 2 + ((tier * 3 + row * 5) % 8);
    c.line(6, 5 + row * 2, std::min(6 + len, 13), 5 + row * 2, rgb(120, 255, 160));
  }
  c.fillRect(11, 11, 13, 11, f.dark); // stand
  c.fillRect(10, 12, 15, 12, f.main);
}

void drawShieldGenerator(Canvas &c, const Family &f, int tier) {
  // An emitter on its base, throwing up a dome of force; the dome gains
  // layers with the tier.
  const double cx = 10.0, cy = 11.0;
  for (int y = 3; y <= 10; ++y)
    for (int x = 3; x <= 16; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::sqrt(dx * dx + dy * dy);
      if (d <= 7.0)
        c.set(x, y, d > 5.8 ? f.lit : (d > 4.6 ? f.main : f.dark));
    }
  const int layers = 1 + tier / 4; // 1..3 inner shells
  for (int k = 0; k < layers; ++k)
    c.ring(cx, cy, 3.8 - 1.2 * k, 3.1 - 1.2 * k, f.lit);
  for (int y = 11; y < 20; ++y) // the dome is only its upper half
    for (int x = 0; x < 20; ++x)
      c.clear(x, y);
  c.fillRect(4, 11, 16, 12, f.main);             // base plate
  c.fillRect(8, 10, 12, 10, rgb(255, 255, 255)); // emitter
}

void drawSensor(Canvas &c, const Family &f, int tier) {
  // A radar dish looking to the upper right, on a mast.
  const double cx = 9.5, cy = 7.5;
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 18; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const double d2 = dx * dx + dy * dy;
      if (d2 <= 5.2 * 5.2 && dy - dx >= -0.5)
        c.set(x, y, dy - dx < 1.5 ? f.lit : f.main);
    }
  c.thickLine(cx, cy, 14, 4.5, 0.6, f.dark);
  c.fillCircle(14, 4.5, 1.2, rgb(255, 255, 255));
  c.fillRect(11, 11, 12, 12, f.dark); // mast
  c.fillRect(11, 12, 15, 12, f.main);
  if (tier >= 5)
    c.set(16, 3, f.lit);
}

void drawFuelTank(Canvas &c, const Family &f, int tier) {
  c.fillCircle(6, 7, 3.4, f.main);
  c.fillCircle(13, 7, 3.4, f.main);
  c.fillRect(6, 4, 13, 9, f.main);
  c.line(6, 4, 13, 4, f.lit);
  const int bands = 1 + tier % 3;
  for (int k = 0; k < bands; ++k) {
    const int x = 9 - bands + 2 * k + 1;
    c.line(x, 4, x, 9, f.dark);
  }
  c.fillRect(12, 11, 14, 12, f.dark); // valve
}

void drawMedicalBay(Canvas &c, const Family &f, int tier) {
  c.fillRect(8, 3, 12, 12, f.main);
  c.fillRect(4, 5, 16, 9, f.main);
  c.line(8, 3, 12, 3, f.lit);
  c.line(4, 5, 7, 5, f.lit);
  c.fillRect(9, 6, 11, 8, rgb(255, 235, 235));
  if (tier >= 5)
    c.set(10, 7, f.dark);
}

void drawCloak(Canvas &c, const Family &f, int tier) {
  c.fillPolygon({{10, 3.0}, {16.6, 7.5}, {10, 12.0}, {3.4, 7.5}}, f.main);
  c.fillPolygon({{10, 5.0}, {13.6, 7.5}, {10, 10.0}, {6.4, 7.5}}, f.dark);
  // An eye whose pupil wanders with the tier.
  c.fillRect(7, 7, 12, 7, f.lit);
  const int px = 7 + tier % 5;
  c.fillRect(px, 6, px + 1, 8, rgb(255, 255, 255));
}

void drawAmmunition(Canvas &c, const Family &f, int tier) {
  const Rgb tip = rgb(230, 105, 55);
  const int shells = 2 + (tier % 2);
  for (int k = 0; k < shells; ++k) {
    const int x = 16 - 3 - k * 4; // from the right, so the plate never hides one
    c.fillRect(x, 5, x + 2, 12, f.main);
    c.line(x, 5, x, 12, f.lit);
    c.fillRect(x, 4, x + 2, 4, tip);
    c.set(x + 1, 3, tip);
    c.line(x, 10, x + 2, 10, f.dark);
  }
}

void drawSystemEraser(Canvas &c) {
  for (int i = 3; i <= 16; ++i)
    if ((i / 2) % 2 == 0) {
      c.set(i, 3, rgb(150, 150, 160));
      c.set(i, 16, rgb(150, 150, 160));
      c.set(3, i, rgb(150, 150, 160));
      c.set(16, i, rgb(150, 150, 160));
    }
  Canvas x(kSystemSide, kSystemSide);
  x.thickLine(6, 6, 13.5, 13.5, 1.4, rgb(240, 40, 40));
  x.thickLine(13.5, 6, 6, 13.5, 1.4, rgb(240, 40, 40));
  x.outline(kOutline);
  c.blit(x, 0, 0);
}

// The pixels of a system picture that lie over its hull's number tag.
bool overHullTag(int x, int y) {
  return x + kSystemInset >= kTagLeft && y + kSystemInset >= kTagTop;
}

} // namespace

HullClass hullClassOf(int item) {
  if (item == 0)
    return HullClass::Eraser;
  if (std::find(kWeapons.begin(), kWeapons.end(), item) != kWeapons.end())
    return HullClass::Weapon;
  if (std::find(kArmour.begin(), kArmour.end(), item) != kArmour.end())
    return HullClass::Armour;
  return HullClass::Cargo;
}

Canvas drawHullItem(int item) {
  Canvas c(kHullSide, kHullSide);
  const HullClass cls = hullClassOf(item);
  switch (cls) {
  case HullClass::Eraser:
    drawHullEraser(c);
    return c;
  case HullClass::Weapon:
    drawRing(c, cls, kWeaponLook);
    drawWeapon(c, item);
    drawNumberTag(c, item, kWeaponLook.tagEdge);
    break;
  case HullClass::Armour:
    drawRing(c, cls, kArmourLook);
    drawArmour(c, item);
    drawNumberTag(c, item, kArmourLook.tagEdge);
    break;
  case HullClass::Cargo:
    drawRing(c, cls, kCargoLook);
    drawCargo(c, item);
    drawNumberTag(c, item, kCargoLook.tagEdge);
    break;
  }
  return c;
}

Canvas drawSystemItem(int item) {
  Canvas c(kSystemSide, kSystemSide);
  if (item == 0) {
    drawSystemEraser(c);
    return c;
  }
  const int family = (item - 1) / 10, tier = (item - 1) % 10;
  const Family &f = kFamilies[static_cast<std::size_t>(family)];
  using Painter = void (*)(Canvas &, const Family &, int);
  constexpr std::array<Painter, 10> painters = {
      drawCrew,   drawEngine,   drawReactor,    drawComputer, drawShieldGenerator,
      drawSensor, drawFuelTank, drawMedicalBay, drawCloak,    drawAmmunition};
  painters[static_cast<std::size_t>(family)](c, f, tier);

  c.outline(kOutline);
  // The number, white on a dark plate, in the bottom-left corner.
  c.fillRect(2, 11, 10, 17, kOutline);
  drawSmallNumber(c, 3 + (7 - smallNumberWidth(item) + 1) / 2, 12, item, kNumber);

  // A painter that strays over the hull's tag or the 2-pixel margin would
  // hide the hull's number or its class colour in the mini display.
  for (int y = 0; y < kSystemSide; ++y)
    for (int x = 0; x < kSystemSide; ++x)
      if (c.opaque(x, y) && (x < 2 || y < 2 || x > 17 || y > 17 || overHullTag(x, y)))
        throw std::logic_error("system item " + std::to_string(item) + " strays at " +
                               std::to_string(x) + "," + std::to_string(y));
  return c;
}

Canvas drawUnderequipSheet() {
  Canvas sheet(kHullSide * 10, kHullSide * 10);
  for (int f = 0; f < 100; ++f)
    sheet.blit(drawHullItem(f), kHullSide * (f % 10), kHullSide * (f / 10));
  return sheet;
}

Canvas drawEquipSheet() {
  Canvas sheet(kSystemSide * 10, kSystemSide * 10);
  for (int f = 0; f < 100; ++f)
    sheet.blit(drawSystemItem(f), kSystemSide * (f % 10), kSystemSide * (f / 10));
  return sheet;
}
