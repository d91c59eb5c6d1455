// The battle: buying the design, the two halves of every turn with their
// random shots, running away, the end test and the payout.
#include "battle.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/platform.h"
#include "ship_views.h"
#include "startup.h"
#include "state.h"
#include "statistics.h"

namespace game {

namespace {
constexpr int kEnter = 13;
constexpr int kSpace = 32;
constexpr std::int32_t kPauseBetweenHalves = 1495000;
constexpr std::int32_t kPauseAfterShot = 25000;
constexpr std::int32_t kRunAwayCost = 1000;

// Credits follow the game's 32-bit sums; a total beyond the 32-bit range
// stops at its edge instead of wrapping round to the other sign.
std::int32_t creditSum(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The last column or row a whole-ship pass visits: one beyond the placeable
// cells, but never beyond the grid's block whatever a design file held.
std::int32_t passEnd(std::int32_t count) {
  return std::min(count, kGridSize - 1);
}

// The highest aim of a shot, count - 1, wrapping as 32-bit sums do rather
// than overflowing for a count read from a foreign design file.
std::int32_t lastAim(std::int32_t count) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) - 1u);
}

// Takes a hit off an item's condition; an item driven below 0 is destroyed at
// once, one left at exactly 0 waits for the next drawing pass to remove it.
void damage(std::int32_t *cell) {
  const std::int64_t left = static_cast<std::int64_t>(cell[kConditionSlot]) - hitDamage;
  if (left < 0) {
    cell[kConditionSlot] = 0;
    cell[kItemSlot] = 0;
  } else {
    cell[kConditionSlot] = static_cast<std::int32_t>(left);
  }
}

// One shot at the ship in the main grid, marked with the turn's picture.
void fireShot(std::int32_t marker) {
  const std::int32_t column = RandomInt(0, lastAim(gridColumns));
  const std::int32_t row = RandomInt(0, lastAim(gridRows));
  hitDamage = RandomInt(0, 70);
  const double x = 25.0 * column + 5;
  const double y = 25.0 * row + 5;
  DrawPicture(marker, x, y, 0);
  if (shotsLeft > 0)
    shotsLeft -= 1;
  if (shotsLeft < 0)
    shotsLeft = 0;
  // A grid without columns or rows aims at -1: such a shot hits nothing.
  const bool onShip = column >= 0 && column < gridColumns && column < kGridSize && row >= 0 &&
                      row < gridRows && row < kGridSize;
  if (!onShip)
    return;
  std::int32_t *equipCell = topEquip[column][row];
  std::int32_t *underCell = topUnder[column][row];
  if (equipCell[kItemSlot] > 0) {
    damage(equipCell);
    DrawPicture(marker, x, y, 0);
  }
  // The equip layer shields the structure beneath until its condition is 0.
  if (equipCell[kConditionSlot] == 0 && underCell[kItemSlot] > 0) {
    damage(underCell);
    DrawPicture(marker, x, y, 0);
  }
}

void drawBattleField() {
  if (gridLinesHidden == 0)
    drawGridLines();
  drawTopShip();
  drawMiniShip();
  drawButtonBar();
}

void drawFigureLines() {
  DrawString(u"Firepower = " + DecimalText(topFirepower) + u"  Shots=Firepower/10 =" +
                 DecimalText(topShots),
             5, 647);
  DrawString(u"Points Value = " + DecimalText(topPointsValue) + u"  Total Damage = " +
                 DecimalText(topTotalDamage),
             5, 631);
}

void drawPlayerTurnTexts() {
  drawFigureLines();
  DrawString(u"ABOVE INFO ARE FOR YOUR SHIP NOT THE SHIP SHOWN ", 5, 678);
  DrawString(u"  Cargo on Ship = " + DecimalText(cargo), 5, 663);
  DrawString(u"Press Enter To Flip between ShipS", 5, 699);
  DrawString(u"ENEMY SHIP NOW SHOWING", 5, 715);
}

void drawEnemyTurnTexts() {
  drawFigureLines();
  DrawString(u"  Cargo on Ship = " + DecimalText(cargo), 5, 663);
  DrawString(u"ABOVE INFO ARE FOR ENEMY SHIP NOT THE SHIP SHOWN ", 5, 680);
  DrawString(u"Press Enter To Flip between ShipS", 5, 699);
  DrawString(u"YOUR SHIP NOW SHOWING", 5, 715);
}

// The player's ship fires at the enemy ship. When shown, the turn clears the
// screen once and lays its shots over one another.
void playerTurn() {
  computeShipFigures();
  shotsLeft = topShots;
  if (battleView == 0) {
    Cls();
    drawPlayerTurnTexts();
  }
  if (shownShip == 0)
    exchangeShips();
  do {
    if (TakeKeyHits(kEnter) != 0) {
      drainKey(kEnter);
      battleView += 1;
      if (battleView == 2)
        battleView = 0;
    }
    drawBattleField();
    carryLayer = 0;
    carriedItem = 0;
    fireShot(swords);
    if (battleView == 0)
      Flip(-1);
    busyPause(kPauseAfterShot);
  } while (shotsLeft > 0);
  if (shownShip == 1)
    exchangeShips();
}

// Whether an underequip layer holds any item within the whole-ship pass.
bool hasItems(ShipGrid under) {
  for (std::int32_t c = 0; c <= passEnd(gridColumns); ++c)
    for (std::int32_t r = 0; r <= passEnd(gridRows); ++r)
      if (under[c][r][kItemSlot] > 0)
        return true;
  return false;
}

// The cargo still carried by the player's ship.
std::int64_t cargoPayout() {
  std::int64_t paid = 0;
  for (std::int32_t c = 0; c <= passEnd(gridColumns); ++c)
    for (std::int32_t r = 0; r <= passEnd(gridRows); ++r)
      if (isCargoItem(topUnder[c][r][kItemSlot]))
        paid += topUnder[c][r][kItemSlot];
  return paid;
}
} // namespace

void runBattle() {
  waitForRelease();
  splatTimer = 10;
  // The price is the points value the panel worked out earlier in this frame.
  if (topPointsValue > credits) {
    messageState = 1;
    return;
  }
  messageState = 0;
  creditsAtStart = credits;
  credits = creditSum(static_cast<std::int64_t>(credits) - topPointsValue);
  for (;;) {
    // Space runs away before the player fires: the price comes back, the
    // penalty is taken from the credits held at the start.
    if (TakeKeyHits(kSpace) != 0) {
      drainKey(kSpace);
      ClearKeys();
      credits = creditSum(static_cast<std::int64_t>(creditsAtStart) - kRunAwayCost);
      messageState = 4;
      return;
    }
    playerTurn();
    busyPause(kPauseBetweenHalves);
    enemyTurn();

    // The player's ship is in the main grid again; losing it all loses the
    // battle even when the enemy has nothing left either.
    topHasItems = hasItems(topUnder) ? 1 : 0;
    miniHasItems = hasItems(miniUnder) ? 1 : 0;
    if (topHasItems == 0) {
      messageState = 3;
      return;
    }
    if (miniHasItems == 0) {
      credits = creditSum(static_cast<std::int64_t>(credits) + cargoPayout());
      credits = creditSum(static_cast<std::int64_t>(credits) + creditsAtStart);
      messageState = 2;
      return;
    }
  }
}

// The enemy ship fires at the player's ship. When shown, every shot is drawn
// on a fresh screen.
void enemyTurn() {
  if (shownShip == 0)
    exchangeShips();
  computeShipFigures();
  shotsLeft = topShots;
  if (shownShip == 1)
    exchangeShips();
  do {
    if (battleView == 1) {
      Cls();
      drawEnemyTurnTexts();
    }
    drawBattleField();
    fireShot(swords2);
    if (battleView == 1)
      Flip(-1);
    busyPause(kPauseAfterShot);
  } while (shotsLeft > 0);
  if (shownShip == 1)
    exchangeShips();
}

} // namespace game
