// Item classes, the figures of the ship in the main grid, and the panel.
#include "statistics.h"

#include <algorithm>

#include "platform/platform.h"
#include "state.h"

namespace game {

namespace {
enum class ItemClass { None, Weapon, Armour, Cargo };

// Below 25 the multiples of 3 are weapons and the rest armour; from 25 on
// the numbers come in blocks of six (three cargo, two armour, one weapon);
// 97 to 99 are cargo. Numbers outside 1 to 99 have no class.
ItemClass classOf(std::int32_t item) {
  if (item < 1 || item > 99)
    return ItemClass::None;
  if (item < 25)
    return item % 3 == 0 ? ItemClass::Weapon : ItemClass::Armour;
  if (item >= 97)
    return ItemClass::Cargo;
  const int place = (item - 25) % 6;
  if (place < 3)
    return ItemClass::Cargo;
  return place < 5 ? ItemClass::Armour : ItemClass::Weapon;
}

// The last column or row the figures count: one past the placeable cells,
// kept inside the grid whatever a saved design has put into the sizes.
int lastPassIndex(std::int32_t size) {
  return std::min<std::int32_t>(size, kGridSize - 1);
}

// Sums wrap at 32 bits like the game's integers: a saved design may hold any
// value, and no sum of them may overflow into undefined behaviour.
void addTo(std::int32_t &sum, std::int32_t value) {
  sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) +
                                  static_cast<std::uint32_t>(value));
}
} // namespace

bool isWeaponItem(std::int32_t item) {
  return classOf(item) == ItemClass::Weapon;
}
bool isArmourItem(std::int32_t item) {
  return classOf(item) == ItemClass::Armour;
}
bool isCargoItem(std::int32_t item) {
  return classOf(item) == ItemClass::Cargo;
}

void computeShipFigures() {
  topPointsValue = 0;
  topTotalDamage = 0;
  topFirepower = 0;
  for (int c = 0, lastColumn = lastPassIndex(gridColumns); c <= lastColumn; ++c) {
    for (int r = 0, lastRow = lastPassIndex(gridRows); r <= lastRow; ++r) {
      const std::int32_t u = topUnder[c][r][kItemSlot];
      if (isWeaponItem(u))
        addTo(topFirepower, u);
      if (u > 0)
        addTo(topPointsValue, u);
      const std::int32_t e = topEquip[c][r][kItemSlot];
      if (e > 0)
        addTo(topPointsValue, e);
      if (u > 0 && topUnder[c][r][kConditionSlot] < 100)
        addTo(topTotalDamage, topUnder[c][r][kConditionSlot]);
    }
  }
  // The armour of the ship in the mini display is what the main ship fires against.
  for (int c = 0, lastColumn = lastPassIndex(gridColumns); c <= lastColumn; ++c) {
    for (int r = 0, lastRow = lastPassIndex(gridRows); r <= lastRow; ++r) {
      const std::int32_t m = miniUnder[c][r][kItemSlot];
      if (isArmourItem(m))
        addTo(topFirepower, -m);
    }
  }
  topShots = topFirepower / 100;
}

void drawStatsPanel() {
  computeShipFigures();
  cargo = 0;
  for (int c = 0, lastColumn = lastPassIndex(gridColumns); c <= lastColumn; ++c) {
    for (int r = 0, lastRow = lastPassIndex(gridRows); r <= lastRow; ++r) {
      const std::int32_t u = topUnder[c][r][kItemSlot];
      if (isCargoItem(u))
        addTo(cargo, u);
    }
  }
  DrawString(u"Firepower = " + DecimalText(topFirepower) + u"  Shots=Firepower/10-EnemyArmor =" +
                 DecimalText(topShots),
             5, 647);
  DrawString(u"Points Value = " + DecimalText(topPointsValue) + u"  Credits =" +
                 DecimalText(credits),
             5, 631);
  DrawString(u"Total Damage = " + DecimalText(topTotalDamage) + u"  Cargo on Ship = " +
                 DecimalText(cargo),
             5, 663);
}

} // namespace game
