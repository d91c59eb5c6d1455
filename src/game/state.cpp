// The game's state and the whole-grid operations.
#include "state.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace game {

ShipGrid topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder;

std::int32_t credits = 5000;
std::int32_t gridColumns, gridRows;
std::int32_t shownShip;
std::int32_t gridLinesHidden;
std::int32_t battleView;
std::int32_t messageState;
std::int32_t carryLayer, carriedItem, repeatPlace;
std::int32_t hoverColumn, hoverRow;
std::int32_t splatTimer;
std::int32_t topPointsValue, topTotalDamage, topFirepower, topShots, cargo;
std::int32_t creditsAtStart;
std::int32_t shotsLeft, hitDamage, topHasItems, miniHasItems;
std::int32_t discardedRoll;

std::int32_t bakboard, bacdrop, equip, underequip, mov, shoot, fight, rally, end, next, swords2,
    swords, splat;

namespace {
ShipGrid newGrid() {
  // Zero-filled by the allocator; the blocks live as long as the program.
  void *block = std::calloc(1, sizeof(GridBlock));
  if (!block)
    std::abort();
  return static_cast<ShipGrid>(block);
}
} // namespace

void createGrids() {
  if (topEquip)
    return;
  topEquip = newGrid();
  topUnder = newGrid();
  miniEquip = newGrid();
  miniUnder = newGrid();
  swapEquip = newGrid();
  swapUnder = newGrid();
}

void clearAllGrids() {
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
    std::memset(grid, 0, sizeof(GridBlock));
}

void exchangeShips() {
  // The swap pair ends as a copy of the old top ship and the mini pair holds
  // the same ship, so copying the top pair once and exchanging which blocks
  // the top and mini names refer to gives the element-by-element result.
  std::memcpy(swapEquip, topEquip, sizeof(GridBlock));
  std::memcpy(swapUnder, topUnder, sizeof(GridBlock));
  std::swap(topEquip, miniEquip);
  std::swap(topUnder, miniUnder);
  shownShip += 1;
  if (shownShip == 2)
    shownShip = 0;
}

} // namespace game
