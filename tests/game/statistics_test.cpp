// The ship's figures: item classes, the figures of the main-grid ship from the
// cells of both ships, the cargo, and the panel that shows them.
#include <algorithm>

#include <gtest/gtest.h>

#include "game/state.h"
#include "game/statistics.h"
#include "platform/platform.h"
#include "support/design_session.h"
#include "support/game_report.h"

using namespace game;

namespace {
// The classes as the game's rule book lists them, number by number.
const std::vector<int> kWeapons = {3,  6,  9,  12, 15, 18, 21, 24, 30, 36,
                                   42, 48, 54, 60, 66, 72, 78, 84, 90, 96};
const std::vector<int> kArmour = {1,  2,  4,  5,  7,  8,  10, 11, 13, 14, 16, 17, 19, 20,
                                  22, 23, 28, 29, 34, 35, 40, 41, 46, 47, 52, 53, 58, 59,
                                  64, 65, 70, 71, 76, 77, 82, 83, 88, 89, 94, 95};
const std::vector<int> kCargo = {25, 26, 27, 31, 32, 33, 37, 38, 39, 43, 44, 45, 49,
                                 50, 51, 55, 56, 57, 61, 62, 63, 67, 68, 69, 73, 74,
                                 75, 79, 80, 81, 85, 86, 87, 91, 92, 93, 97, 98, 99};

bool listed(const std::vector<int> &list, int item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}
} // namespace

TEST(ItemClasses, EveryItemFrom1To99HasTheClassOfTheTableAndNoOtherNumberHasOne) {
  ASSERT_EQ(kWeapons.size() + kArmour.size() + kCargo.size(), 99u);
  for (int item = 1; item <= 99; ++item) {
    SCOPED_TRACE("item " + std::to_string(item));
    EXPECT_EQ(isWeaponItem(item), listed(kWeapons, item));
    EXPECT_EQ(isArmourItem(item), listed(kArmour, item));
    EXPECT_EQ(isCargoItem(item), listed(kCargo, item));
  }
  for (int item : {0, -1, -3, -25, 100, 102, 121, 1000, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE("item " + std::to_string(item));
    EXPECT_FALSE(isWeaponItem(item));
    EXPECT_FALSE(isArmourItem(item));
    EXPECT_FALSE(isCargoItem(item));
  }
}

// ---- Figures, a function of the grids alone

namespace {
struct TFigureCase {
  const char *name;
  std::vector<TCellSetting> cells;
  std::int32_t columns, rows;
  std::int32_t points, damage, firepower, shots, cargo;
};

void PrintTo(const TFigureCase &c, std::ostream *out) {
  *out << c.name;
}

class Figures : public ::testing::TestWithParam<TFigureCase> {
protected:
  void SetUp() override {
    createGrids();
    clearAllGrids();
  }
};

constexpr auto TU = TCellSetting::TopUnder, TE = TCellSetting::TopEquip,
               MU = TCellSetting::MiniUnder, ME = TCellSetting::MiniEquip;
} // namespace

TEST_P(Figures, AreThoseOfTheMainGridShipAgainstTheMiniShipsArmour) {
  const TFigureCase &c = GetParam();
  SetCells(c.cells);
  gridColumns = c.columns;
  gridRows = c.rows;
  cargo = -7;
  topPointsValue = topTotalDamage = topFirepower = topShots = 12345;
  computeShipFigures();
  EXPECT_EQ(topPointsValue, c.points);
  EXPECT_EQ(topTotalDamage, c.damage);
  EXPECT_EQ(topFirepower, c.firepower);
  EXPECT_EQ(topShots, c.shots);
  EXPECT_EQ(cargo, -7) << "the figures alone leave the cargo";
  drawStatsPanel(); // no display: it only computes
  EXPECT_EQ(topPointsValue, c.points);
  EXPECT_EQ(topFirepower, c.firepower);
  EXPECT_EQ(cargo, c.cargo);
}

INSTANTIATE_TEST_SUITE_P(
    Ships, Figures,
    ::testing::Values(
        TFigureCase{"Empty", {}, 12, 10, 0, 0, 0, 0, 0},
        TFigureCase{"Weapon96AgainstArmour1And2",
                    {{TU, 0, 0, 96, 100}, {MU, 3, 3, 1, 100}, {MU, 4, 3, 2, 100}},
                    12,
                    10,
                    96,
                    0,
                    93,
                    0,
                    0},
        TFigureCase{"Weapons90And96",
                    {{TU, 0, 0, 90, 100}, {TU, 5, 9, 96, 100}},
                    12,
                    10,
                    186,
                    0,
                    186,
                    1,
                    0},
        TFigureCase{"Weapons90And96And24",
                    {{TU, 0, 0, 90, 100}, {TU, 5, 9, 96, 100}, {TU, 11, 0, 24, 100}},
                    12,
                    10,
                    210,
                    0,
                    210,
                    2,
                    0},
        TFigureCase{"ArmourOutweighsBy50",
                    {{MU, 0, 0, 46, 100}, {MU, 1, 0, 4, 100}},
                    12,
                    10,
                    0,
                    0,
                    -50,
                    0,
                    0},
        TFigureCase{"ArmourOutweighsBy150",
                    {{MU, 0, 0, 95, 100}, {MU, 1, 0, 47, 100}, {MU, 2, 0, 8, 100}},
                    12,
                    10,
                    0,
                    0,
                    -150,
                    -1,
                    0},
        // Equip items count in the points value only, whatever their number.
        TFigureCase{"EquipItemsCountInPointsOnly",
                    {{TE, 0, 0, 3, 100},
                     {TE, 1, 0, 25, 40},
                     {TE, 2, 0, 1, 100},
                     {ME, 0, 0, 1, 100},
                     {ME, 1, 0, 96, 100}},
                    12,
                    10,
                    29,
                    0,
                    0,
                    0,
                    0},
        TFigureCase{
            "TheSameNumberUnderneathAlsoFires", {{TU, 0, 0, 3, 100}}, 12, 10, 3, 0, 3, 0, 0},
        TFigureCase{"MainArmourAndMiniWeaponsDoNotFire",
                    {{TU, 0, 0, 1, 100}, {MU, 0, 0, 96, 100}},
                    12,
                    10,
                    1,
                    0,
                    0,
                    0,
                    0},
        // Damage: only underequip items below condition 100; empty cells add nothing.
        TFigureCase{"DamageCountsConditionsBelow100",
                    {{TU, 0, 0, 5, 40}, {TU, 1, 0, 7, 100}, {TU, 2, 0, 0, 40}, {TE, 0, 0, 9, 40}},
                    12,
                    10,
                    21,
                    40,
                    0,
                    0,
                    0},
        TFigureCase{"ADamagedWeaponFiresInFull", {{TU, 0, 0, 96, 1}}, 12, 10, 96, 1, 96, 0, 0},
        TFigureCase{
            "CargoItemsAddUp",
            {{TU, 0, 0, 25, 100}, {TU, 1, 0, 99, 100}, {TU, 2, 0, 96, 100}, {MU, 0, 0, 37, 100}},
            12,
            10,
            220,
            0,
            96,
            0,
            124},
        // The extra column and row count; what lies beyond them does not.
        TFigureCase{"TheExtraColumnAndRowCount",
                    {{TU, 12, 3, 30, 100},
                     {TU, 4, 10, 36, 100},
                     {TU, 12, 10, 25, 100},
                     {TU, 13, 0, 90, 100},
                     {TU, 0, 11, 90, 100},
                     {MU, 13, 0, 95, 100}},
                    12,
                    10,
                    91,
                    0,
                    66,
                    0,
                    25},
        // Sizes a saved design may bring: the passes stay inside the grid.
        TFigureCase{"ASizeBeyondTheGridStopsAtItsLastCell",
                    {{TU, 99, 99, 96, 100}, {TU, 0, 0, 90, 100}},
                    500,
                    1000,
                    186,
                    0,
                    186,
                    1,
                    0},
        TFigureCase{"ANegativeSizeCountsNothing", {{TU, 0, 0, 96, 100}}, -1, 10, 0, 0, 0, 0, 0},
        // Numbers no palette gives: no class, and a positive one still counts in points.
        TFigureCase{"ItemsOutside1To99HaveNoClass",
                    {{TU, 0, 0, 150, 100}, {TU, 1, 0, -6, 30}, {MU, 0, 0, 101, 100}},
                    12,
                    10,
                    150,
                    0,
                    0,
                    0,
                    0},
        TFigureCase{"HugeNumbersWrapAt32Bits",
                    {{TU, 0, 0, INT32_MAX, 100},
                     {TU, 1, 0, 2, 100},
                     {TU, 2, 0, 5, INT32_MIN},
                     {TU, 3, 0, 5, -1}},
                    12,
                    10,
                    INT32_MIN + 11,
                    INT32_MAX,
                    0,
                    0,
                    0}),
    [](const ::testing::TestParamInfo<TFigureCase> &info) { return info.param.name; });

// ---- Through the design screen

TEST(StatisticsPanel, ShowsTheFiguresWithTheirMinusSigns) {
  // Armour 150 in the mini display against no weapons: firepower -150, -1 shot.
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  TSessionResult run = RunDesignSession(std::to_string(kFirstDesignFrame + 2) + " end\n",
                                        {{MU, 0, 0, 95, 100},
                                         {MU, 1, 0, 47, 100},
                                         {MU, 2, 0, 8, 100},
                                         {TU, 0, 0, 25, 40},
                                         {TE, 0, 0, 7, 100}},
                                        options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["topShots"], -1);
  std::vector<std::uint32_t> expected = DrawnAlone([] {
    DrawString(u"Points Value = 32  Credits =5000", 5, 631);
    DrawString(u"Firepower = -150  Shots=Firepower/10-EnemyArmor =-1", 5, 647);
    DrawString(u"Total Damage = 40  Cargo on Ship = 25", 5, 663);
  });
  ASSERT_NE(FirstDifferenceIn(expected, DrawnAlone([] {}), 0, 631, 450, 679), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), expected, 0, 631, 450, 679),
            "");
}

TEST(StatisticsPanel, ExchangingTheShipsSwapsWhichArmourLowersWhichFirepower) {
  // Ship A on top: weapon 96, armour 10. Ship B in the mini display: weapon 30, armour 2.
  TSessionResult before = RunDesignSession(
      std::to_string(kFirstDesignFrame + 3) + " end\n",
      {{TU, 0, 0, 96, 100}, {TU, 1, 0, 10, 100}, {MU, 0, 0, 30, 100}, {MU, 1, 0, 2, 100}});
  ASSERT_EQ(before.exitStatus, 3) << before.standardError;
  EXPECT_EQ(TReport(before.report)["topFirepower"], 94);

  TSessionResult after = RunDesignSession(
      std::to_string(kFirstDesignFrame + 2) + " click 130 750\n" +
          std::to_string(kFirstDesignFrame + 6) + " end\n",
      {{TU, 0, 0, 96, 100}, {TU, 1, 0, 10, 100}, {MU, 0, 0, 30, 100}, {MU, 1, 0, 2, 100}});
  ASSERT_EQ(after.exitStatus, 3) << after.standardError;
  TReport state(after.report);
  EXPECT_EQ(state["shownShip"], 1);
  EXPECT_EQ(state["topFirepower"], 20) << "ship B's weapon against ship A's armour";
  EXPECT_EQ(state["topPointsValue"], 32);
}
