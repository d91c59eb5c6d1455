// What a ship is worth and how hard it hits: item classes, figures, the panel.
#pragma once

#include <cstdint>

namespace game {

// The classes of underequip items by item number; numbers outside 1 to 99 have none.
bool isWeaponItem(std::int32_t item);
bool isArmourItem(std::int32_t item);
bool isCargoItem(std::int32_t item);

// Points value, total damage, firepower and shots of the main-grid ship.
void computeShipFigures();
// The figures, then the cargo, then the three panel lines.
void drawStatsPanel();

} // namespace game
