// The equip and underequip palettes and the placement of the carried item.
#include "palettes.h"

#include "hovered_cell.h"
#include "platform/platform.h"

namespace game {

namespace {
constexpr int kNothingChosen = 200;

// What sets the two palettes apart: the sheet, its pitch, how far below a
// picture row its row's band reaches, and the layer the choice is carried in.
struct TPalette {
  std::int32_t sheet;
  int pitch;
  int rowBandReach; // last Y of row r's band (r >= 1) is pitch * r + rowBandReach
  int layer;
};

// The frame under a click, or kNothingChosen. Columns leave out the left
// pixel column of each picture; row bands overlap and the highest row whose
// band holds Y wins, so rows 1 to 9 sit one pixel lower than their pictures
// and the bottom row reaches well below the last picture row.
int selectionAt(const TPalette &palette, int x, int y) {
  const int p = palette.pitch;
  int column = -1;
  for (int k = 0; k < 10; ++k)
    if (x > p * k && x < p * k + p)
      column = k;
  int row = -1;
  if (y < p)
    row = 0;
  for (int r = 1; r < 10; ++r)
    if (y > p * r && y <= p * r + palette.rowBandReach)
      row = r;
  if (column < 0 || row < 0)
    return kNothingChosen;
  return 10 * row + column;
}

// Shows the palette until a click chooses one of its hundred items. No key is
// read here: the only way out is a choice.
void runPalette(const TPalette &palette) {
  // The press that opened the palette must not count as a choice.
  waitForRelease();
  for (;;) {
    Cls();
    carryLayer = 0;
    carriedItem = 0;
    DrawPicture(bacdrop, 0, 0, 0);
    for (int f = 0; f < 100; ++f)
      DrawPicture(palette.sheet, palette.pitch * (f % 10), palette.pitch * (f / 10), f);
    Flip(-1);
    if (ButtonDown(1) == 0)
      continue;
    waitForRelease();
    const int x = PointerX();
    const int y = PointerY();
    const int selection = selectionAt(palette, x, y);
    if (selection == kNothingChosen)
      continue;
    carryLayer = palette.layer;
    carriedItem = selection;
    return;
  }
}
} // namespace

void pickEquipItem() {
  runPalette({equip, 20, 89, 1});
}

void pickUnderequipItem() {
  runPalette({underequip, 25, 84, 2});
}

void placeCarriedItem(int layer, ShipGrid grid) {
  if (carryLayer != layer)
    return;
  if (ButtonDown(1) == 0)
    return;
  waitForRelease();
  // The target is the cell under the pointer once the button is up.
  inspectCell();
  // A grid size from a foreign saved design can exceed the 100 cells a grid
  // holds, and "no cell" (200) would then count as inside: only cells that
  // exist are written.
  if (hoverColumn < 0 || hoverColumn >= kGridSize || hoverRow < 0 || hoverRow >= kGridSize)
    return;
  if (hoverColumn < gridColumns && hoverRow < gridRows) {
    grid[hoverColumn][hoverRow][kItemSlot] = carriedItem;
    grid[hoverColumn][hoverRow][kConditionSlot] = 100;
    if (repeatPlace != 1) {
      carriedItem = 0;
      carryLayer = 0;
    }
  }
}

} // namespace game
