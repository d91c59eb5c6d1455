// Item classes, the ship's figures and the statistics panel.
#include "statistics.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

bool isWeaponItem(std::int32_t) {
  return false;
}
bool isArmourItem(std::int32_t) {
  return false;
}
bool isCargoItem(std::int32_t) {
  return false;
}
void computeShipFigures() {}
void drawStatsPanel() {}

} // namespace game
