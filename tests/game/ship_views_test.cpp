// The ships' views: the removal rules that drawing applies to both ships, and
// what the main grid and the mini display show.
#include <gtest/gtest.h>

#include "game/ship_views.h"
#include "game/state.h"
#include "platform/platform.h"
#include "support/design_session.h"
#include "support/game_report.h"

using namespace game;

namespace {
constexpr auto TU = TCellSetting::TopUnder, TE = TCellSetting::TopEquip,
               MU = TCellSetting::MiniUnder, ME = TCellSetting::MiniEquip;

ShipGrid gridOf(TCellSetting::TGrid g) {
  return g == TU ? topUnder : g == TE ? topEquip : g == MU ? miniUnder : miniEquip;
}

// A case is written for the main grid; it runs again with the same cells in
// the mini display's grids, cleaned by drawMiniShip alone.
struct TRemovalCase {
  const char *name;
  std::vector<TCellSetting> before;
  std::vector<TCellSetting> after; // the cells of before (and others) once drawn
  std::int32_t columns = 12, rows = 10;
};

void PrintTo(const TRemovalCase &c, std::ostream *out) {
  *out << c.name;
}

class RemovalRules : public ::testing::TestWithParam<std::tuple<TRemovalCase, bool>> {
protected:
  void SetUp() override {
    createGrids();
    clearAllGrids();
  }
};

TCellSetting inMini(TCellSetting s, bool mini) {
  if (mini)
    s.grid = s.grid == TU ? MU : ME;
  return s;
}
} // namespace

TEST_P(RemovalRules, CleanTheItemSlotsOfTheDrawnCells) {
  const auto &[c, mini] = GetParam();
  std::vector<TCellSetting> before;
  for (const TCellSetting &s : c.before)
    before.push_back(inMini(s, mini));
  SetCells(before);
  gridColumns = c.columns;
  gridRows = c.rows;
  mini ? drawMiniShip() : drawTopShip();
  for (const TCellSetting &s : c.after) {
    const TCellSetting e = inMini(s, mini);
    SCOPED_TRACE("cell " + std::to_string(e.column) + ", " + std::to_string(e.row) + " of grid " +
                 std::to_string(e.grid));
    EXPECT_EQ(gridOf(e.grid)[e.column][e.row][kItemSlot], e.item);
    EXPECT_EQ(gridOf(e.grid)[e.column][e.row][kConditionSlot], e.condition);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, RemovalRules,
    ::testing::Combine(
        ::testing::Values(
            TRemovalCase{"WornOutUnderequipTakesTheEquipItemWithIt",
                         {{TU, 2, 3, 41, 0}, {TE, 2, 3, 7, 100}},
                         {{TU, 2, 3, 0, 0}, {TE, 2, 3, 0, 100}}},
            TRemovalCase{"WornOutEquipGoesAlone",
                         {{TU, 2, 3, 41, 100}, {TE, 2, 3, 7, 0}},
                         {{TU, 2, 3, 41, 100}, {TE, 2, 3, 0, 0}}},
            TRemovalCase{"EquipOverAnEmptyCellGoesAndKeepsItsCondition",
                         {{TE, 4, 4, 7, 100}},
                         {{TE, 4, 4, 0, 100}}},
            TRemovalCase{"AnErasedCellTakesTheEquipItemAndIsLeftAlone",
                         {{TU, 4, 4, 0, 100}, {TE, 4, 4, 7, 100}},
                         {{TU, 4, 4, 0, 100}, {TE, 4, 4, 0, 100}}},
            TRemovalCase{"NegativeConditionsKeepTheirItems",
                         {{TU, 1, 1, 41, -5}, {TE, 1, 1, 7, -1}},
                         {{TU, 1, 1, 41, -5}, {TE, 1, 1, 7, -1}}},
            TRemovalCase{"ItemsAboutToFailStay",
                         {{TU, 0, 0, 96, 1}, {TE, 0, 0, 9, 1}},
                         {{TU, 0, 0, 96, 1}, {TE, 0, 0, 9, 1}}},
            // The extra column and row are cleaned; cells beyond them are not touched.
            TRemovalCase{"TheExtraColumnAndRowAreCleanedNothingBeyond",
                         {{TU, 12, 2, 41, 0},
                          {TE, 3, 10, 7, 100},
                          {TU, 12, 10, 5, 0},
                          {TU, 13, 2, 41, 0},
                          {TE, 3, 11, 7, 100},
                          {TE, 13, 0, 7, 100}},
                         {{TU, 12, 2, 0, 0},
                          {TE, 3, 10, 0, 100},
                          {TU, 12, 10, 0, 0},
                          {TU, 13, 2, 41, 0},
                          {TE, 3, 11, 7, 100},
                          {TE, 13, 0, 7, 100}}},
            // Item numbers no palette gives are cleaned by the same rules.
            TRemovalCase{
                "ItemsOutside0To99FollowTheRules",
                {{TU, 0, 0, 150, 0},
                 {TE, 0, 0, INT32_MAX, 100},
                 {TU, 1, 0, -3, 100},
                 {TE, 1, 0, 100, 100}},
                {{TU, 0, 0, 0, 0}, {TE, 0, 0, 0, 100}, {TU, 1, 0, -3, 100}, {TE, 1, 0, 100, 100}}},
            // Sizes from a saved design: the passes stop at the grid's last cell.
            TRemovalCase{"SizesBeyondTheGridStopAtItsLastCell",
                         {{TU, 99, 99, 41, 0}, {TE, 50, 99, 7, 100}},
                         {{TU, 99, 99, 0, 0}, {TE, 50, 99, 0, 100}},
                         500,
                         INT32_MAX},
            TRemovalCase{"ANegativeSizeCleansNothing",
                         {{TU, 0, 0, 41, 0}, {TE, 1, 1, 7, 100}},
                         {{TU, 0, 0, 41, 0}, {TE, 1, 1, 7, 100}},
                         -1,
                         10},
            TRemovalCase{"TheSmallestSizeCleansOneCell",
                         {{TU, 0, 0, 41, 0}, {TE, 1, 0, 7, 100}},
                         {{TU, 0, 0, 0, 0}, {TE, 1, 0, 7, 100}},
                         0,
                         0}),
        ::testing::Bool()),
    [](const auto &info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Mini" : "Top");
    });

TEST(ShipViews, DrawingTheMainShipCleansTheMiniShipToo) {
  createGrids();
  clearAllGrids();
  gridColumns = 12;
  gridRows = 10;
  SetCells({{MU, 5, 5, 41, 0}, {ME, 6, 6, 7, 100}});
  drawTopShip();
  EXPECT_EQ(miniUnder[5][5][kItemSlot], 0);
  EXPECT_EQ(miniEquip[6][6][kItemSlot], 0);
}

// Sizes a saved design may bring never take a pass past the grids: the swap
// pair, which no drawing touches, lies beyond the drawn grids in memory.
TEST(ShipViews, NoSizeTakesAPassOutsideTheGrids) {
  createGrids();
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {500, 24}, {39, 500}, {INT32_MAX, INT32_MAX}, {-5, 24}, {39, INT32_MIN}};
  for (auto [columns, rows] : sizes) {
    SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
    clearAllGrids();
    for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
      for (int c = 0; c < kGridSize; ++c)
        for (int r = 0; r < kGridSize; ++r)
          for (int k = 0; k < kGridSize; ++k)
            grid[c][r][k] = (c * 7 + r * 3 + k) % 3; // worn-out and empty cells everywhere
    std::vector<std::int32_t> swapBefore(&swapEquip[0][0][0], &swapEquip[0][0][0] + 1000000);
    swapBefore.insert(swapBefore.end(), &swapUnder[0][0][0], &swapUnder[0][0][0] + 1000000);
    gridColumns = columns;
    gridRows = rows;
    drawTopShip();
    drawMiniShip();
    std::vector<std::int32_t> swapAfter(&swapEquip[0][0][0], &swapEquip[0][0][0] + 1000000);
    swapAfter.insert(swapAfter.end(), &swapUnder[0][0][0], &swapUnder[0][0][0] + 1000000);
    EXPECT_TRUE(swapAfter == swapBefore);
  }
}

// ---- What the screen shows

TEST(ShipViews, ARemovedItemIsSeenInTheFrameThatRemovesItAndGoneInTheNext) {
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1, kFirstDesignFrame + 2};
  TSessionResult run =
      RunDesignSession(std::to_string(kFirstDesignFrame + 3) + " end\n",
                       {{TU, 2, 3, 41, 0}, {TE, 2, 3, 7, 100}, {MU, 1, 1, 41, 0}}, options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  // Cell (2, 3) at (55, 80), its equip item at (58, 83); mini cell (1, 1) at (462, 612).
  const std::vector<std::uint32_t> drawn = DrawnAlone([] {
    DrawPicture(underequip, 55, 80, 41);
    DrawPicture(equip, 58, 83, 7);
    DrawPictureScaled(underequip, 462, 612, 7, 7, 41);
  });
  const std::vector<std::uint32_t> empty = DrawnAlone([] {});
  ASSERT_NE(FirstDifferenceIn(drawn, empty, 56, 81, 80, 105), "") << "the art should show";
  ASSERT_NE(FirstDifferenceIn(drawn, empty, 462, 612, 469, 619), "") << "the art should show";
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), drawn, 56, 81, 80, 105), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), drawn, 462, 612, 469, 619), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 2), empty, 56, 81, 80, 105), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 2), empty, 462, 612, 469, 619), "");
}

TEST(ShipViews, TheMiniDisplayScalesBothLayersIntoSevenPixelSquaresCutOffAtTheBottom) {
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  // A 39 x 24 ship: rows 23 and 24 of the mini display start at y = 766 and 773.
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      gridColumns = 39;
      gridRows = 24;
    }
  };
  TSessionResult run = RunDesignSession(std::to_string(kFirstDesignFrame + 2) + " end\n",
                                        {{MU, 38, 22, 41, 100},
                                         {ME, 38, 22, 7, 100},
                                         {MU, 38, 23, 5, 100},
                                         {MU, 38, 24, 96, 100},
                                         {MU, 39, 24, 96, 100},
                                         {MU, 0, 0, 30, 100}},
                                        options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  const std::vector<std::uint32_t> drawn = DrawnAlone([] {
    DrawPictureScaled(underequip, 455 + 7 * 38, 605 + 7 * 22, 7, 7, 41);
    DrawPictureScaled(equip, 455 + 7 * 38, 605 + 7 * 22, 7, 7, 7);
    DrawPictureScaled(underequip, 455 + 7 * 38, 605 + 7 * 23, 7, 7, 5);
    DrawPictureScaled(underequip, 455, 605, 7, 7, 30);
  });
  ASSERT_NE(FirstDifferenceIn(drawn, DrawnAlone([] {}), 721, 759, 728, 768), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), drawn, 721, 759, 735, 768), "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), drawn, 455, 605, 462, 612), "");
}

TEST(ShipViews, ItemNumbersNoSheetHoldsDrawNothing) {
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  TSessionResult odd = RunDesignSession(std::to_string(kFirstDesignFrame + 2) + " end\n",
                                        {{TU, 1, 1, 100, 100},
                                         {TE, 1, 1, INT32_MAX, 100},
                                         {TU, 2, 1, -3, 100},
                                         {TE, 2, 1, 1, 100},
                                         {TU, 3, 1, INT32_MIN, 100},
                                         {MU, 1, 1, 250, 100},
                                         {ME, 1, 1, 100, 100}},
                                        options);
  ASSERT_EQ(odd.exitStatus, 3) << odd.standardError;
  TSessionResult plain =
      RunDesignSession(std::to_string(kFirstDesignFrame + 2) + " end\n", {}, options);
  ASSERT_EQ(plain.exitStatus, 3) << plain.standardError;
  // Cell (2, 1) loses its equip item to the rules; in this frame it is drawn.
  const std::vector<std::uint32_t> equipOnly = DrawnAlone([] { DrawPicture(equip, 58, 33, 1); });
  EXPECT_EQ(FirstDifferenceIn(odd.frames.at(kFirstDesignFrame + 1), equipOnly, 58, 33, 78, 53), "");
  EXPECT_EQ(FirstDifferenceIn(odd.frames.at(kFirstDesignFrame + 1),
                              plain.frames.at(kFirstDesignFrame + 1), 0, 0, 55, 630),
            "");
  EXPECT_EQ(FirstDifferenceIn(odd.frames.at(kFirstDesignFrame + 1),
                              plain.frames.at(kFirstDesignFrame + 1), 80, 0, 1024, 630),
            "");
}

// The lattice is the union of a line from the left edge and one from the top
// edge to every crossing, each walked pixel by pixel.
TEST(ShipViews, TheLatticeLightsThePixelsOfItsLinesToEveryCrossing) {
  const std::pair<std::int32_t, std::int32_t> sizes[] = {{12, 10},  {39, 24},  {0, 0},   {1, 0},
                                                         {150, 24}, {39, 200}, {-1, 10}, {10, -3}};
  for (const auto &size : sizes) {
    const std::int32_t columns = size.first, rows = size.second;
    SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
    const std::vector<std::uint32_t> drawn = DrawnAlone([columns, rows] {
      gridColumns = columns;
      gridRows = rows;
      drawGridLines();
    });
    const std::vector<std::uint32_t> walked = DrawnAlone([columns, rows] {
      for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
          DrawLineStepwise(5, 5 + 25 * r, 5 + 25 * c, 5 + 25 * r, 1);
          DrawLineStepwise(5 + 25 * c, 5, 5 + 25 * c, 5 + 25 * r, 1);
        }
    });
    EXPECT_EQ(FirstDifferenceIn(drawn, walked, 0, 0, 1024, 768), "");
  }
}
