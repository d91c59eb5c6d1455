// The battle: the price, the turns of random shots, the end test and the payout.
#pragma once

namespace game {

// Started by the end button; runs the whole battle inside the design frame.
void runBattle();
// The enemy's half of a turn.
void enemyTurn();

} // namespace game
