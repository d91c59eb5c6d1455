// The hovered cell, its description and the labels of the two ships.
#include "hovered_cell.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

namespace {
constexpr std::int32_t kNoBand = 200;
constexpr int kBands = 40;

// A pointer outside every band has no cell, however large the grid size a
// saved design has brought.
bool hoveredCellInGrid() {
  return hoverColumn != kNoBand && hoverRow != kNoBand && hoverColumn < gridColumns &&
         hoverRow < gridRows;
}
} // namespace

void inspectCell() {
  hoverColumn = kNoBand;
  hoverRow = kNoBand;
  // Each band starts one pixel past its cell's lattice line and takes in the
  // next cell's line; every test asks the pointer afresh.
  for (int d = 0; d < kBands; ++d)
    if (PointerX() > 5 + 25 * d && PointerX() < 31 + 25 * d)
      hoverColumn = d;
  for (int d = 0; d < kBands; ++d)
    if (PointerY() > 5 + 25 * d && PointerY() < 31 + 25 * d)
      hoverRow = d;

  if (hoveredCellInGrid() && PointerX() > 4 && PointerY() > 4 &&
      topUnder[hoverColumn][hoverRow][kItemSlot] > 0) {
    const std::int32_t *cell = topUnder[hoverColumn][hoverRow];
    DrawPicture(underequip, 5, 680, cell[kItemSlot]);
    DrawString(u"External Item Slot = " + DecimalText(cell[kConditionSlot]) + u"%  Rating Level=" +
                   DecimalText(cell[kItemSlot]),
               35, 682);
  }
  if (hoveredCellInGrid() && PointerY() > 4 && PointerX() > 4 &&
      topEquip[hoverColumn][hoverRow][kItemSlot] > 0) {
    const std::int32_t *cell = topEquip[hoverColumn][hoverRow];
    DrawPicture(equip, 5, 702, cell[kItemSlot]);
    DrawString(u"Internal item Slot = " + DecimalText(cell[kConditionSlot]) + u"%  Rating Level=" +
                   DecimalText(cell[kItemSlot]),
               35, 704);
  }

  if (shownShip == 1)
    DrawString(u"YOUR Mini Display", 405, 744);
  if (shownShip == 0)
    DrawString(u"ENEMY! Mini Display", 405, 744);
  if (shownShip == 0)
    DrawString(u"YOUR SYSEMS DISPLAY AT TOP", 660, 631);
  if (shownShip == 1)
    DrawString(u"ENEMY! SYSTEMS DISPLAY AT TOP!", 660, 631);
}

} // namespace game
