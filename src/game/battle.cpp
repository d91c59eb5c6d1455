// The battle.
#include "battle.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

void runBattle() {
  waitForRelease();
  splatTimer = 10;
}
void enemyTurn() {}

} // namespace game
