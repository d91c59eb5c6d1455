// The two item palettes and the placement of the carried item, driven
// through the real start-up by scripted input.
#include <functional>
#include <sstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "game/state.h"
#include "platform/platform.h"
#include "support/case_name.h"
#include "support/design_session.h"
#include "support/game_report.h"
#include "support/golden.h"
#include "support/session.h"

namespace {
using drayvane_test::PrintTo;

enum TLayer { kEquipLayer = 1, kStructureLayer = 2 };

struct TPoint {
  int x, y;
};
// The equip palette opens from the mov button, the structure palette from rally.
constexpr TPoint kEquipButton{28, 750}, kStructureButton{80, 750};

TPoint openButton(TLayer layer) {
  return layer == kEquipLayer ? kEquipButton : kStructureButton;
}
// The middle of frame f's picture in a palette.
TPoint pictureOf(TLayer layer, int f) {
  const int p = layer == kEquipLayer ? 20 : 25;
  return {p * (f % 10) + p / 2, p * (f / 10) + p / 2};
}
// The middle of a cell of the main grid.
TPoint cell(int c, int r) {
  return {17 + 25 * c, 17 + 25 * r};
}

// Script events after the set-up. A design frame asks for the pointer often
// enough to span more than one script frame, so a press is held for a few
// frames and steps are well apart.
constexpr int kHold = 4;
constexpr int kStep = 12;

class TEvents {
public:
  // An event at a given frame.
  TEvents &at(int frame, const std::string &event) {
    text << frame << ' ' << event << '\n';
    return *this;
  }
  TEvents &moveTo(int frame, TPoint p) {
    text << frame << " move " << p.x << ' ' << p.y << '\n';
    return *this;
  }
  // A press of button 1 at the next step.
  TEvents &press(TPoint p) {
    moveTo(now, p);
    at(now, "buttondown 1");
    at(now + kHold, "buttonup 1");
    now += kStep;
    return *this;
  }
  // Another event at the next step.
  TEvents &then(const std::string &event) {
    at(now, event);
    now += kStep;
    return *this;
  }
  TEvents &wait(int steps) {
    now += steps * kStep;
    return *this;
  }
  TEvents &end() { return then("end"); }
  int next() const { return now; }
  std::string str() const { return kSetup12x10Script + text.str(); }

private:
  std::ostringstream text;
  int now = kFirstDesignFrame + 2;
};

// The game state and, for each listed cell, its items and conditions as
// "under.C.R.item=" ... lines.
std::function<std::string()> reportWithCells(std::vector<std::pair<int, int>> cells) {
  return [cells] {
    using namespace game;
    std::ostringstream out;
    out << GameStateReport();
    for (auto [c, r] : cells) {
      std::ostringstream cell;
      cell << '.' << c << '.' << r;
      const std::string at = cell.str();
      out << "under" << at << ".item=" << topUnder[c][r][kItemSlot] << '\n'
          << "under" << at << ".condition=" << topUnder[c][r][kConditionSlot] << '\n'
          << "equip" << at << ".item=" << topEquip[c][r][kItemSlot] << '\n'
          << "equip" << at << ".condition=" << topEquip[c][r][kConditionSlot] << '\n';
    }
    return out.str();
  };
}

TSessionResult run(const TEvents &events, TSessionOptions options = {}) {
  options.script = events.str();
  if (!options.atEnd)
    options.atEnd = GameStateReport;
  return RunSession(options);
}

// --- Choosing in a palette -------------------------------------------------

struct TPickCase {
  const char *name;
  TLayer layer;
  int x, y;
  int frame; // -1: nothing is chosen and the palette stays up
};

class PaletteSelection : public ::testing::TestWithParam<TPickCase> {};

// A press at (35, 260) chooses frame 91 in either palette; on the design
// screen it falls just below the 12 x 10 grid and places nothing.
constexpr int kLaterFrame = 91;
constexpr TPoint kLaterPress{35, 260};
} // namespace

TEST_P(PaletteSelection, AClickChoosesTheFrameOfItsBandsOrNothing) {
  const TPickCase &c = GetParam();
  TEvents events;
  events.press(openButton(c.layer)).press({c.x, c.y}).press(kLaterPress).end();
  TSessionResult result = run(events);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["carryLayer"], c.layer);
  if (c.frame >= 0)
    EXPECT_EQ(state["carriedItem"], c.frame);
  else
    EXPECT_EQ(state["carriedItem"], kLaterFrame) << "the palette should have stayed up";
}

INSTANTIATE_TEST_SUITE_P(
    Bands, PaletteSelection,
    ::testing::Values(
        // Structure palette, pitch 25.
        TPickCase{"StructureTopLeftCorner", kStructureLayer, 1, 0, 0},
        TPickCase{"StructureRow0LastLine", kStructureLayer, 24, 24, 0},
        TPickCase{"StructureLeftEdgeIsDead", kStructureLayer, 0, 10, -1},
        TPickCase{"StructureColumnLine25IsDead", kStructureLayer, 25, 10, -1},
        TPickCase{"StructureColumnLine225IsDead", kStructureLayer, 225, 60, -1},
        TPickCase{"StructureRowLine25IsDead", kStructureLayer, 10, 25, -1},
        TPickCase{"StructureRow1FirstLine", kStructureLayer, 26, 26, 11},
        TPickCase{"StructureRow2TopLineCountsToRow1", kStructureLayer, 249, 50, 19},
        TPickCase{"StructureRightOfThePaletteIsDead", kStructureLayer, 250, 50, -1},
        TPickCase{"StructureRow2FirstLine", kStructureLayer, 226, 51, 29},
        TPickCase{"StructureRow9TopLineCountsToRow8", kStructureLayer, 110, 225, 84},
        TPickCase{"StructureRow9FirstLine", kStructureLayer, 224, 226, 98},
        TPickCase{"StructureRow9LastLine", kStructureLayer, 226, 309, 99},
        TPickCase{"StructureBelowThePictures", kStructureLayer, 10, 300, 90},
        TPickCase{"StructureBelowRow9IsDead", kStructureLayer, 10, 310, -1},
        // Equip palette, pitch 20.
        TPickCase{"EquipTopLeftCorner", kEquipLayer, 1, 0, 0},
        TPickCase{"EquipRow0LastLine", kEquipLayer, 19, 19, 0},
        TPickCase{"EquipLeftEdgeIsDead", kEquipLayer, 0, 10, -1},
        TPickCase{"EquipColumnLine20IsDead", kEquipLayer, 20, 10, -1},
        TPickCase{"EquipColumnLine180IsDead", kEquipLayer, 180, 60, -1},
        TPickCase{"EquipRowLine20IsDead", kEquipLayer, 10, 20, -1},
        TPickCase{"EquipRow1FirstLine", kEquipLayer, 21, 21, 11},
        TPickCase{"EquipRow2TopLineCountsToRow1", kEquipLayer, 199, 40, 19},
        TPickCase{"EquipRightOfThePaletteIsDead", kEquipLayer, 200, 40, -1},
        TPickCase{"EquipRow2FirstLine", kEquipLayer, 181, 41, 29},
        TPickCase{"EquipRow9TopLineCountsToRow8", kEquipLayer, 110, 180, 85},
        TPickCase{"EquipRow9FirstLine", kEquipLayer, 179, 181, 98},
        TPickCase{"EquipRow9LastLine", kEquipLayer, 199, 269, 99},
        TPickCase{"EquipBelowRow9IsDead", kEquipLayer, 10, 270, -1},
        TPickCase{"EquipAt10_300IsDead", kEquipLayer, 10, 300, -1}),
    [](const ::testing::TestParamInfo<TPickCase> &info) { return info.param.name; });

TEST(Palettes, ShowTheBackdropAndTheirHundredPictures) {
  for (auto [layer, golden] :
       {std::pair{kEquipLayer, "palette_equip"}, std::pair{kStructureLayer, "palette_structure"}}) {
    TEvents events;
    events.press(openButton(layer)).end();
    TSessionResult result = run(events);
    ASSERT_EQ(result.exitStatus, 3) << result.standardError;
    EXPECT_EQ(TReport(result.report)["carryLayer"], 0) << golden;
    EXPECT_TRUE(MatchesGolden(golden, result.frames.at(-1)));
  }
}

TEST(Palettes, APressHeldWhenAPaletteOpensIsNoChoice) {
  // Button 1 is held over the grid while button 2 opens the structure
  // palette (and lets go again); releasing button 1 there must not choose
  // the picture under it.
  TEvents events;
  events.at(kFirstDesignFrame + 2, "move 60 60")
      .at(kFirstDesignFrame + 2, "buttondown 1")
      .at(kFirstDesignFrame + 6, "buttondown 2")
      .at(kFirstDesignFrame + 14, "buttonup 2")
      .at(kFirstDesignFrame + 24, "buttonup 1")
      .at(kFirstDesignFrame + 40, "end");
  TSessionResult result = run(events);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["carryLayer"], 0);
  EXPECT_EQ(state["carriedItem"], 0);
}

namespace {
struct TRightButtonCase {
  const char *name;
  int releaseFrame; // of button 2, after the design screen's start (the choice is pressed at 14 to
                    // 18)
  int carriedItem;  // at the end
};

class RightButton : public ::testing::TestWithParam<TRightButtonCase> {};
} // namespace

TEST_P(RightButton, OpensTheStructurePaletteAgainWhileHeld) {
  // Button 2 opens the palette; a click chooses frame 22; a later click
  // would choose frame 91 in a palette and places nothing on the design screen.
  const TRightButtonCase &c = GetParam();
  TEvents events;
  events.then("buttondown 2")
      .at(kFirstDesignFrame + c.releaseFrame, "buttonup 2")
      .press(pictureOf(kStructureLayer, 22))
      .wait(2)
      .press(kLaterPress)
      .end();
  TSessionResult result = run(events);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["carryLayer"], kStructureLayer);
  EXPECT_EQ(state["carriedItem"], c.carriedItem);
  EXPECT_EQ(state["splatTimer"], 0) << "the right button starts no click marker";
}

INSTANTIATE_TEST_SUITE_P(
    Release, RightButton,
    ::testing::Values(TRightButtonCase{"ReleasedBeforeTheChoiceKeepsIt", 8, 22},
                      TRightButtonCase{"HeldPastTheChoiceReopensThePalette", 30, kLaterFrame}),
    [](const ::testing::TestParamInfo<TRightButtonCase> &info) { return info.param.name; });

// --- Placing the carried item ---------------------------------------------

namespace {
struct TCell {
  int underItem, underCondition, equipItem, equipCondition;
};

struct TPlaceCase {
  const char *name;
  TLayer layer;
  int frame;    // chosen in the palette
  TCell before; // cell (2, 3)
  TCell after;  // a few frames after the placement
};

class Placement : public ::testing::TestWithParam<TPlaceCase> {};
} // namespace

TEST_P(Placement, WritesTheLayersCellWithFullCondition) {
  using namespace game;
  const TPlaceCase &c = GetParam();
  static TCell before;
  before = c.before;
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      topUnder[2][3][kItemSlot] = before.underItem;
      topUnder[2][3][kConditionSlot] = before.underCondition;
      topEquip[2][3][kItemSlot] = before.equipItem;
      topEquip[2][3][kConditionSlot] = before.equipCondition;
    }
  };
  options.atEnd = reportWithCells({{2, 3}});
  TEvents events;
  events.press(openButton(c.layer))
      .press(pictureOf(c.layer, c.frame))
      .press(cell(2, 3))
      .wait(1)
      .end();
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["under.2.3.item"], c.after.underItem);
  EXPECT_EQ(state["under.2.3.condition"], c.after.underCondition);
  EXPECT_EQ(state["equip.2.3.item"], c.after.equipItem);
  EXPECT_EQ(state["equip.2.3.condition"], c.after.equipCondition);
  EXPECT_EQ(state["carryLayer"], 0) << "one placement drops the item";
  EXPECT_EQ(state["carriedItem"], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, Placement,
    ::testing::Values(
        TPlaceCase{
            "StructureOntoAnOccupiedCell", kStructureLayer, 22, {41, 37, 7, 50}, {22, 100, 7, 50}},
        TPlaceCase{
            "EquipOntoAnOccupiedCell", kEquipLayer, 13, {41, 100, 7, 37}, {41, 100, 13, 100}},
        // Frame 0 erases; without a structure item the cell's equip item goes
        // at the next drawing, its condition kept.
        TPlaceCase{"StructureFrame0ErasesAndTakesTheEquipItem",
                   kStructureLayer,
                   0,
                   {41, 37, 7, 50},
                   {0, 100, 0, 50}},
        TPlaceCase{
            "EquipFrame0ErasesTheEquipItemOnly", kEquipLayer, 0, {41, 37, 7, 50}, {41, 37, 0, 100}},
        TPlaceCase{"EquipOverAnEmptyCellIsRemovedKeepingItsCondition",
                   kEquipLayer,
                   13,
                   {0, 0, 0, 0},
                   {0, 0, 0, 100}}),
    [](const ::testing::TestParamInfo<TPlaceCase> &info) { return info.param.name; });

TEST(Placement, AnEquipItemOverAnEmptyCellIsDrawnInOneFrameOnly) {
  // Clicked off the picture's own place, so that the carried item drawn at
  // the pointer never covers exactly the cell's equip picture at (58, 83).
  TEvents events;
  events.press(kEquipButton).press(pictureOf(kEquipLayer, 13)).wait(1);
  const int pressFrame = events.next();
  events.press({75, 100}).wait(2).end();
  TSessionOptions options;
  options.keepFrames.clear();
  for (int f = pressFrame - 4; f < events.next(); ++f)
    options.keepFrames.push_back(f);
  options.atEnd = reportWithCells({{2, 3}});
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  EXPECT_EQ(TReport(result.report)["equip.2.3.condition"], 100);

  std::vector<std::uint32_t> picture = DrawnAlone([] {
    DrawPicture(LoadPictureSheet(u".\\IronholdArt\\equip.png", 20, 20, 0, 100, 1), 58, 83, 13);
  });
  std::vector<std::uint32_t> empty = DrawnAlone([] {});
  ASSERT_FALSE(FirstDifferenceIn(picture, empty, 58, 83, 78, 103).empty()) << "the art should show";
  int shown = 0, blank = 0;
  for (const auto &[frame, pixels] : result.frames) {
    shown += FirstDifferenceIn(pixels, picture, 58, 83, 78, 103).empty();
    blank += FirstDifferenceIn(pixels, empty, 58, 83, 78, 103).empty();
  }
  EXPECT_EQ(shown, 1);
  EXPECT_GE(blank, 3) << "the cell should be empty in the frames after";
}

namespace {
struct TOutsideCase {
  const char *name;
  int x, y;
  int columns, rows; // the grid size from the start of the design screen
};

class ClickOutsideTheGrid : public ::testing::TestWithParam<TOutsideCase> {};
} // namespace

TEST_P(ClickOutsideTheGrid, PlacesNothingAndKeepsTheItemCarried) {
  const TOutsideCase &c = GetParam();
  static int columns, rows;
  columns = c.columns;
  rows = c.rows;
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      game::gridColumns = columns;
      game::gridRows = rows;
    }
  };
  TEvents events;
  events.press(kStructureButton)
      .press(pictureOf(kStructureLayer, 22))
      .press({c.x, c.y})
      .wait(1)
      .end();
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["carryLayer"], kStructureLayer);
  EXPECT_EQ(state["carriedItem"], 22);
  EXPECT_EQ(state["nonZeroGridElements"], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ClickOutsideTheGrid,
    ::testing::Values(TOutsideCase{"TheExtraColumn", 312, 92, 12, 10},
                      TOutsideCase{"TheExtraRow", 67, 262, 12, 10},
                      TOutsideCase{"TheOuterLeftLine", 5, 92, 12, 10},
                      TOutsideCase{"TheOuterTopLine", 67, 5, 12, 10},
                      TOutsideCase{"FarRightOfTheGrid", 700, 400, 12, 10},
                      // Only a foreign saved design brings such a size; no
                      // cell beyond the grid's hundred is written.
                      TOutsideCase{"NoCellWithAGridSizeBeyondTheGrid", 5, 5, 250, 250}),
    [](const ::testing::TestParamInfo<TOutsideCase> &info) { return info.param.name; });

TEST(Placement, TheCellIsTheOneUnderThePointerWhenTheButtonIsReleased) {
  TEvents events;
  events.press(kStructureButton).press(pictureOf(kStructureLayer, 22));
  const int down = events.next();
  const TPoint from = cell(2, 3), to = cell(5, 6);
  events.moveTo(down, from)
      .at(down, "buttondown 1")
      .moveTo(down + 6, to)
      .at(down + 8, "buttonup 1")
      .wait(2)
      .end();
  TSessionOptions options;
  options.atEnd = reportWithCells({{2, 3}, {5, 6}});
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["under.5.6.item"], 22);
  EXPECT_EQ(state["under.2.3.item"], 0);
  EXPECT_EQ(state["carryLayer"], 0);
}

TEST(Placement, RepeatedPlacingPutsOneItemIntoManyCells) {
  TEvents events;
  events.then("tap Space")
      .press(kStructureButton)
      .press(pictureOf(kStructureLayer, 22))
      .press(cell(2, 3))
      .press(cell(3, 3))
      .press(cell(11, 9))
      .wait(1)
      .end();
  TSessionOptions options;
  options.atEnd = reportWithCells({{2, 3}, {3, 3}, {11, 9}});
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  for (const char *cell : {"2.3", "3.3", "11.9"}) {
    EXPECT_EQ(state[std::string("under.") + cell + ".item"], 22) << cell;
    EXPECT_EQ(state[std::string("under.") + cell + ".condition"], 100) << cell;
  }
  EXPECT_EQ(state["nonZeroGridElements"], 6);
  EXPECT_EQ(state["carryLayer"], kStructureLayer);
  EXPECT_EQ(state["carriedItem"], 22);
}

TEST(Placement, AButtonPressWhileCarryingDoesNotPlace) {
  // Rows reaching under the button bar (only a saved design brings such a
  // grid): the grid-lines button then lies over row 29 of the grid. The
  // press goes down as the first frame that carries the item is presented,
  // so the next frame sees it from its start.
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    static bool pressed = false;
    if (index == kFirstDesignFrame)
      game::gridRows = 30;
    if (!pressed && game::carryLayer == kStructureLayer) {
      pressed = true;
      ApplyInputEvent({TEventKind::PointerMove, 0, 190, 750});
      ApplyInputEvent({TEventKind::ButtonDown, 1, 0, 0});
    }
  };
  TEvents events;
  events.press(kStructureButton).press(pictureOf(kStructureLayer, 22)).then("buttonup 1").end();
  TSessionResult result = run(events, options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["gridLinesHidden"], 1) << "the button should have acted";
  EXPECT_EQ(state["carryLayer"], kStructureLayer);
  EXPECT_EQ(state["carriedItem"], 22);
  EXPECT_EQ(state["nonZeroGridElements"], 0);
}

// --- A whole design ---------------------------------------------------------

TEST(Design, BothShipsBuiltThroughThePalettes) {
  struct TPlace {
    TLayer layer;
    int frame;
    int c, r;
  };
  auto place = [](TEvents &events, const TPlace &p) {
    events.press(openButton(p.layer)).press(pictureOf(p.layer, p.frame)).press(cell(p.c, p.r));
  };
  TEvents events;
  // The player's ship: weapons 96 and 24, armour 47 and 2, cargo 37 and 99,
  // crew over the first gun and the second crate.
  for (const TPlace &p : {TPlace{kStructureLayer, 96, 1, 1}, TPlace{kStructureLayer, 24, 2, 1},
                          TPlace{kStructureLayer, 47, 1, 2}, TPlace{kStructureLayer, 2, 2, 2},
                          TPlace{kStructureLayer, 37, 3, 1}, TPlace{kStructureLayer, 99, 3, 2},
                          TPlace{kEquipLayer, 13, 1, 1}, TPlace{kEquipLayer, 55, 3, 2}})
    place(events, p);
  // A row of armour 5 placed with one choice.
  events.then("tap Space")
      .press(kStructureButton)
      .press(pictureOf(kStructureLayer, 5))
      .press(cell(1, 3))
      .press(cell(2, 3))
      .press(cell(3, 3))
      .then("tap Space");
  // The enemy ship: weapon 90, armour 16, cargo 50 and an equip item.
  events.press({130, 750});
  for (const TPlace &p : {TPlace{kStructureLayer, 90, 0, 0}, TPlace{kStructureLayer, 16, 1, 0},
                          TPlace{kStructureLayer, 50, 2, 0}, TPlace{kEquipLayer, 3, 0, 0}})
    place(events, p);
  // The player's ship back on top, the pointer over its first gun.
  events.press({130, 750}).moveTo(events.next(), cell(1, 1)).wait(4).end();

  TSessionResult result = run(events);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["shownShip"], 0);
  EXPECT_EQ(state["carryLayer"], 0);
  EXPECT_EQ(state["repeatPlace"], 0);
  EXPECT_TRUE(MatchesGolden("design_both_ships", result.frames.at(-1)));
}
