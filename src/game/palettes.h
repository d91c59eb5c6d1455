// The two item palettes and putting the carried item into a cell.
#pragma once

#include "state.h"

namespace game {

// Each shows its hundred items until a click chooses one, which is then carried.
void pickEquipItem();
void pickUnderequipItem();
// Puts the carried item of the layer (1 equip, 2 underequip) into the hovered cell.
void placeCarriedItem(int layer, ShipGrid grid);

} // namespace game
