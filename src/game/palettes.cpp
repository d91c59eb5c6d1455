// The equip and underequip palettes and the placement of the carried item.
#include "palettes.h"

#include "platform/platform.h"

namespace game {

void pickEquipItem() {}
void pickUnderequipItem() {}
void placeCarriedItem(int, ShipGrid) {}

} // namespace game
