// The ship grids: creation, clearing and the exchange of the two ships.
#include <gtest/gtest.h>

#include "game/state.h"

using namespace game;

namespace {
// Fills every slot of a grid with a pattern that differs per grid and per element.
void fill(ShipGrid grid, std::int32_t seed) {
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kGridSize; ++k)
        grid[c][r][k] = seed + c * 10000 + r * 100 + k;
}

bool holds(ShipGrid grid, std::int32_t seed) {
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kGridSize; ++k)
        if (grid[c][r][k] != seed + c * 10000 + r * 100 + k)
          return false;
  return true;
}

class ShipGrids : public ::testing::Test {
protected:
  void SetUp() override {
    createGrids();
    fill(topEquip, 1 << 24);
    fill(topUnder, 2 << 24);
    fill(miniEquip, 3 << 24);
    fill(miniUnder, 4 << 24);
    fill(swapEquip, 5 << 24);
    fill(swapUnder, 6 << 24);
    shownShip = 0;
  }
};
} // namespace

TEST_F(ShipGrids, ClearingEmptiesEverySlotOfAllSixGrids) {
  clearAllGrids();
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
    for (int c = 0; c < kGridSize; ++c)
      for (int r = 0; r < kGridSize; ++r)
        for (int k = 0; k < kGridSize; ++k)
          ASSERT_EQ(grid[c][r][k], 0) << c << "," << r << "," << k;
}

TEST_F(ShipGrids, ExchangeMovesTheMiniShipOnTopAndLeavesACopyOfTheOldTopInTheSwapPair) {
  exchangeShips();
  EXPECT_TRUE(holds(topEquip, 3 << 24));
  EXPECT_TRUE(holds(topUnder, 4 << 24));
  EXPECT_TRUE(holds(miniEquip, 1 << 24));
  EXPECT_TRUE(holds(miniUnder, 2 << 24));
  EXPECT_TRUE(holds(swapEquip, 1 << 24));
  EXPECT_TRUE(holds(swapUnder, 2 << 24));
  EXPECT_EQ(shownShip, 1);
  // The swap pair is a copy, not the mini ship itself: editing one leaves the other.
  miniUnder[3][4][1] = -7;
  EXPECT_EQ(swapUnder[3][4][1], (2 << 24) + 30401);
}

TEST_F(ShipGrids, TwoExchangesRestoreBothShipsAndTheShownShip) {
  exchangeShips();
  exchangeShips();
  EXPECT_TRUE(holds(topEquip, 1 << 24));
  EXPECT_TRUE(holds(topUnder, 2 << 24));
  EXPECT_TRUE(holds(miniEquip, 3 << 24));
  EXPECT_TRUE(holds(miniUnder, 4 << 24));
  EXPECT_TRUE(holds(swapEquip, 3 << 24)) << "the swap pair copies the ship now in the mini pair";
  EXPECT_TRUE(holds(swapUnder, 4 << 24));
  EXPECT_EQ(shownShip, 0);
}
