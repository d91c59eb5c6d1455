// The game's state: two ships in six grids, the counters and toggles, the
// credits and the picture handles. Every screen reads and writes it directly.
#pragma once

#include <cstdint>

namespace game {

// A grid of 100 x 100 cells of 100 slots, indexed [column][row][slot]: one
// contiguous block, slot fastest. Slot 1 is the item, slot 2 its condition.
using GridBlock = std::int32_t[100][100][100];
using ShipGrid = std::int32_t (*)[100][100];
constexpr int kGridSize = 100;
constexpr int kItemSlot = 1;
constexpr int kConditionSlot = 2;

extern ShipGrid topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder;

extern std::int32_t credits;
extern std::int32_t gridColumns, gridRows;
extern std::int32_t shownShip;
extern std::int32_t gridLinesHidden;
extern std::int32_t battleView;
extern std::int32_t messageState;
extern std::int32_t carryLayer, carriedItem, repeatPlace;
extern std::int32_t hoverColumn, hoverRow;
extern std::int32_t splatTimer;
extern std::int32_t topPointsValue, topTotalDamage, topFirepower, topShots, cargo;
extern std::int32_t creditsAtStart;
extern std::int32_t shotsLeft, hitDamage, topHasItems, miniHasItems;
extern std::int32_t discardedRoll;

// Picture handles, 0 where a picture could not be loaded.
extern std::int32_t bakboard, bacdrop, equip, underequip, mov, shoot, fight, rally, end, next,
    swords2, swords, splat;

// Creates the six zero-filled grids; once, at start-up.
void createGrids();
// Empties all six grids, every slot of every cell.
void clearAllGrids();
// Exchanges the top ship and the mini ship; the swap pair keeps a copy of
// the ship that was on top. Advances shownShip.
void exchangeShips();

} // namespace game
