// The game's state and the whole-grid operations.
#include "state.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/system/system.h"

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
// The one mapping that holds the six blocks, whole large pages.
void *gridRegion = nullptr;
std::size_t gridRegionBytes = 0;
} // namespace

void createGrids() {
  if (topEquip)
    return;
  // The six blocks share one zero-filled mapping that lives as long as the
  // program, each block starting on a large page of its own: copying and
  // clearing whole blocks then works on whole large pages.
  constexpr std::size_t kLargePage = 2u << 20;
  constexpr std::size_t kStride = (sizeof(GridBlock) + kLargePage - 1) / kLargePage * kLargePage;
  constexpr std::size_t kBytes = 6 * kStride;
  void *region = ZeroedPages(kBytes, kLargePage);
  if (region == nullptr)
    std::abort();
  const auto aligned = reinterpret_cast<std::uintptr_t>(region);
  gridRegion = region;
  gridRegionBytes = kBytes;
  ShipGrid *grids[] = {&topEquip, &topUnder, &miniEquip, &miniUnder, &swapEquip, &swapUnder};
  for (std::size_t i = 0; i < 6; ++i)
    *grids[i] = reinterpret_cast<ShipGrid>(aligned + i * kStride);
}

void clearAllGrids() {
  // Handing the pages back to the system empties them at once: they read as
  // zeros again and are only brought back where the game writes.
  if (gridRegion && ZeroPagesAgain(gridRegion, gridRegionBytes))
    return;
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
