// The ships' views and their removal rules, the lattice of the main grid, the
// button bar and the click marker.
#include "ship_views.h"

#include <algorithm>

#include "platform/platform.h"
#include "state.h"

namespace game {

namespace {
// The last index a drawing pass visits: the grid size itself (one column or
// row past the placeable cells), but never past the grid's end, whatever a
// saved design has put into the sizes. A negative size visits nothing.
int lastPassIndex(std::int32_t size) {
  return std::min<std::int32_t>(size, kGridSize - 1);
}

// Only the sheets' frames 1 to 99 are ever drawn; other values draw nothing.
bool drawableItem(std::int32_t item) {
  return item > 0 && item < kGridSize;
}

// An item worn down to condition 0 leaves the grid, and an equip item needs
// an underequip item beneath it. Only the item slot is cleared.
void applyRemovalRules(std::int32_t *equipCell, std::int32_t *underCell) {
  if (equipCell[kConditionSlot] == 0)
    equipCell[kItemSlot] = 0;
  if (underCell[kConditionSlot] == 0)
    underCell[kItemSlot] = 0;
  if (underCell[kItemSlot] == 0)
    equipCell[kItemSlot] = 0;
}
} // namespace

void drawTopShip() {
  const int lastColumn = lastPassIndex(gridColumns), lastRow = lastPassIndex(gridRows);
  for (int c = 0; c <= lastColumn; ++c) {
    for (int r = 0; r <= lastRow; ++r) {
      std::int32_t *underCell = topUnder[c][r];
      std::int32_t *equipCell = topEquip[c][r];
      if (drawableItem(underCell[kItemSlot]))
        DrawPicture(underequip, 5 + 25 * c, 5 + 25 * r, underCell[kItemSlot]);
      if (drawableItem(equipCell[kItemSlot]))
        DrawPicture(equip, 8 + 25 * c, 8 + 25 * r, equipCell[kItemSlot]);
      applyRemovalRules(equipCell, underCell);
    }
  }
  drawMiniShip();
}

void drawMiniShip() {
  const int lastColumn = lastPassIndex(gridColumns), lastRow = lastPassIndex(gridRows);
  for (int c = 0; c <= lastColumn; ++c) {
    for (int r = 0; r <= lastRow; ++r) {
      std::int32_t *underCell = miniUnder[c][r];
      std::int32_t *equipCell = miniEquip[c][r];
      // Rows past the screen's bottom edge are cut off by the drawing itself.
      if (drawableItem(underCell[kItemSlot]))
        DrawPictureScaled(underequip, 455 + 7 * c, 605 + 7 * r, 7, 7, underCell[kItemSlot]);
      if (drawableItem(equipCell[kItemSlot]))
        DrawPictureScaled(equip, 455 + 7 * c, 605 + 7 * r, 7, 7, equipCell[kItemSlot]);
      applyRemovalRules(equipCell, underCell);
    }
  }
}

// Every cell of the lattice adds a line from the left edge to it and one from
// the top edge down to it, all in one colour; together they light exactly
// one full-length line per row and per column, which is what is drawn.
void drawGridLines() {
  const int lastColumn = lastPassIndex(gridColumns), lastRow = lastPassIndex(gridRows);
  if (lastColumn < 0 || lastRow < 0)
    return;
  for (int r = 0; r <= lastRow; ++r)
    DrawLine(5, 5 + 25 * r, 5 + 25 * lastColumn, 5 + 25 * r, 1);
  for (int c = 0; c <= lastColumn; ++c)
    DrawLine(5 + 25 * c, 5, 5 + 25 * c, 5 + 25 * lastRow, 1);
}

void drawButtonBar() {
  DrawPicture(mov, 3, 736, 0);
  DrawPicture(shoot, 111, 736, 0);
  DrawPicture(fight, 165, 736, 0);
  DrawPicture(rally, 57, 736, 0);
  DrawPicture(next, 219, 736, 0);
  DrawPicture(end, 273, 736, 0);
}

void drawClickMarker() {
  if (splatTimer > 0) {
    std::int32_t y = PointerY();
    DrawPicture(splat, PointerX(), y, 0);
  }
  splatTimer -= 1;
  if (splatTimer < 0)
    splatTimer = 0;
}

} // namespace game
