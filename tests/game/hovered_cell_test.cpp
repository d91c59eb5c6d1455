// The hovered cell: the cell under the pointer, its description, and the labels
// of the two ships, through the design screen from start-up.
#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

#include "game/state.h"
#include "platform/platform.h"
#include "support/design_session.h"
#include "support/game_report.h"

using namespace game;

namespace {
constexpr auto TU = TCellSetting::TopUnder, TE = TCellSetting::TopEquip;

struct TBandCase {
  int x, y;
  int column, row; // 200: none
};

// Pixel edges of the bands on a 12 x 10 grid: each band starts one pixel past
// its cell's lattice line and ends on the next one.
const TBandCase kBands[] = {
    {5, 5, 200, 200},   {6, 6, 0, 0},        {30, 30, 0, 0},       {31, 31, 1, 1},
    {5, 100, 200, 3},   {100, 5, 3, 200},    {0, 0, 200, 200},     {305, 255, 11, 9},
    {306, 256, 12, 10}, {1005, 760, 39, 30}, {1006, 767, 200, 30}, {330, 100, 12, 3},
};
} // namespace

TEST(HoveredCell, TheHoveredCellIsTheBandUnderThePointer) {
  // One position a frame, each read back right after its frame.
  static std::ostringstream seen;
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index > kFirstDesignFrame)
      seen << index << ' ' << hoverColumn << ' ' << hoverRow << '\n';
  };
  options.atEnd = [] { return seen.str(); };
  std::ostringstream events;
  int frame = kFirstDesignFrame + 1;
  for (const TBandCase &b : kBands)
    events << frame++ << " move " << b.x << ' ' << b.y << '\n';
  events << frame << " end\n";
  TSessionResult run = RunDesignSession(events.str(), {}, options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  std::istringstream in(run.report);
  for (const TBandCase &b : kBands) {
    SCOPED_TRACE("pointer at " + std::to_string(b.x) + ", " + std::to_string(b.y));
    std::int64_t index = 0, column = -1, row = -1;
    ASSERT_TRUE(in >> index >> column >> row);
    EXPECT_EQ(column, b.column);
    EXPECT_EQ(row, b.row);
  }
}

namespace {
struct TInfoCase {
  const char *name;
  std::vector<TCellSetting> cells;
  int x, y;                       // the pointer
  std::function<void()> expected; // the information as drawn alone
};

void PrintTo(const TInfoCase &c, std::ostream *out) {
  *out << c.name;
}

class CellInformation : public ::testing::TestWithParam<TInfoCase> {};
} // namespace

TEST_P(CellInformation, DescribesTheHoveredCellInsideTheGridOnly) {
  const TInfoCase &c = GetParam();
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  TSessionResult run = RunDesignSession(std::to_string(kFirstDesignFrame + 1) + " move " +
                                            std::to_string(c.x) + " " + std::to_string(c.y) + "\n" +
                                            std::to_string(kFirstDesignFrame + 2) + " end\n",
                                        c.cells, options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  const std::vector<std::uint32_t> expected = DrawnAlone(c.expected);
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), expected, 0, 680, 600, 722),
            "");
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellInformation,
    ::testing::Values(
        TInfoCase{"Frame37AtFullCondition",
                  {{TU, 3, 2, 37, 100}},
                  90,
                  65,
                  [] {
                    DrawPicture(underequip, 5, 680, 37);
                    DrawString(u"External Item Slot = 100%  Rating Level=37", 35, 682);
                  }},
        TInfoCase{"BothLayersWithTheirConditions",
                  {{TU, 3, 2, 41, -5}, {TE, 3, 2, 12, 55}},
                  90,
                  65,
                  [] {
                    DrawPicture(underequip, 5, 680, 41);
                    DrawString(u"External Item Slot = -5%  Rating Level=41", 35, 682);
                    DrawPicture(equip, 5, 702, 12);
                    DrawString(u"Internal item Slot = 55%  Rating Level=12", 35, 704);
                  }},
        // Shown in the frame before the drawing removes the equip item.
        TInfoCase{"EquipItemOverAnEmptyCell",
                  {{TE, 3, 2, 12, 100}},
                  90,
                  65,
                  [] {
                    DrawPicture(equip, 5, 702, 12);
                    DrawString(u"Internal item Slot = 100%  Rating Level=12", 35, 704);
                  }},
        TInfoCase{"TheLatticeCrossingBelongsToCell00",
                  {{TU, 0, 0, 37, 100}},
                  30,
                  30,
                  [] {
                    DrawPicture(underequip, 5, 680, 37);
                    DrawString(u"External Item Slot = 100%  Rating Level=37", 35, 682);
                  }},
        TInfoCase{"AnErasedCellShowsNothing", {{TU, 3, 2, 0, 100}}, 90, 65, [] {}},
        TInfoCase{"TheOuterLatticeLineShowsNothing", {{TU, 0, 0, 37, 100}}, 5, 15, [] {}},
        TInfoCase{"TheTopLatticeLineShowsNothing", {{TU, 0, 0, 37, 100}}, 15, 5, [] {}},
        TInfoCase{"TheExtraColumnCountsAsOutside", {{TU, 12, 2, 37, 100}}, 315, 65, [] {}},
        TInfoCase{"TheExtraRowCountsAsOutside", {{TU, 2, 10, 37, 100}}, 65, 265, [] {}}),
    [](const ::testing::TestParamInfo<TInfoCase> &info) { return info.param.name; });

namespace {
struct TLabelCase {
  const char *name;
  std::int32_t shownShip;
  const char16_t *mini, *top; // nullptr: no label
};

void PrintTo(const TLabelCase &c, std::ostream *out) {
  *out << c.name;
}

class ShipLabels : public ::testing::TestWithParam<TLabelCase> {};
} // namespace

TEST_P(ShipLabels, NameTheShipOnTopAndTheOneInTheMiniDisplay) {
  const TLabelCase &c = GetParam();
  static std::int32_t shown;
  shown = c.shownShip;
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame)
      shownShip = shown;
  };
  TSessionResult run =
      RunDesignSession(std::to_string(kFirstDesignFrame + 2) + " end\n", {}, options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  const std::u16string mini = c.mini ? c.mini : u"", top = c.top ? c.top : u"";
  const std::vector<std::uint32_t> expected = DrawnAlone([mini, top] {
    DrawString(mini, 405, 744);
    DrawString(top, 660, 631);
  });
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), expected, 405, 744, 600, 760),
            "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), expected, 600, 631, 1024, 647),
            "");
}

INSTANTIATE_TEST_SUITE_P(
    Ships, ShipLabels,
    ::testing::Values(
        TLabelCase{"OwnShipOnTop", 0, u"ENEMY! Mini Display", u"YOUR SYSEMS DISPLAY AT TOP"},
        TLabelCase{"EnemyShipOnTop", 1, u"YOUR Mini Display", u"ENEMY! SYSTEMS DISPLAY AT TOP!"},
        TLabelCase{"AnyOtherValueNamesNoShip", 2, nullptr, nullptr},
        TLabelCase{"ANegativeValueNamesNoShip", -1, nullptr, nullptr}),
    [](const ::testing::TestParamInfo<TLabelCase> &info) { return info.param.name; });

// A saved design may bring sizes past 200, the value that stands for no band:
// the pointer on the outer lattice line (in no column band, yet past x = 4)
// must still describe nothing, and read no cell.
TEST(HoveredCell, NoBandMeansNoCellWhateverTheGridSize) {
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  options.onPresent = [](std::int64_t index) {
    if (index != kFirstDesignFrame)
      return;
    gridColumns = 500;
    gridRows = 500;
    gridLinesHidden = 1; // the lattice would run through the information
    // Whatever lies beyond the main ship's grids holds items.
    for (ShipGrid grid : {miniEquip, miniUnder, swapEquip, swapUnder})
      std::fill(&grid[0][0][0], &grid[0][0][0] + 1000000, 37);
  };
  TSessionResult run = RunDesignSession(std::to_string(kFirstDesignFrame + 1) + " move 5 100\n" +
                                            std::to_string(kFirstDesignFrame + 2) + " end\n",
                                        {}, options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["hoverColumn"], 200);
  EXPECT_EQ(state["hoverRow"], 3);
  // Left of the mini display, which now runs down through this height.
  EXPECT_EQ(
      FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), DrawnAlone([] {}), 0, 680, 450, 722),
      "");
}
