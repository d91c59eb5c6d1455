// The design screen loop: buttons, texts, keys and the throw-away draws,
// driven through the real start-up by scripted input.
#include <sstream>

#include <gtest/gtest.h>

#include "game/state.h"
#include "platform/platform.h"
#include "support/game_report.h"
#include "support/golden.h"
#include "support/session.h"

namespace {
// Columns 1 then 2, rows 1 then 0: a 12 x 10 grid; the design screen's
// first frame is frame 10 (opening takes frames 0 and 1).
constexpr int kDesignStart = 10;
const std::string kSetup12x10 = "0 move 300 200\n"
                                "4 tap 1\n"
                                "6 tap 2\n"
                                "8 tap 1\n"
                                "10 tap 0\n";

TSessionResult runDesign(const std::string &events, TSessionOptions options = {}) {
  options.script = kSetup12x10 + events;
  if (!options.atEnd)
    options.atEnd = GameStateReport;
  return RunSession(options);
}

struct TClickCase {
  const char *name;
  int x, y;
  int gridLinesHidden;
  int shownShip;
  int splatTimer; // right after the click's frame
};

class ButtonBar : public ::testing::TestWithParam<TClickCase> {};

// A frame with only what draw() puts on a cleared screen, drawn by the
// platform alone in a fresh child.
std::vector<std::uint32_t> drawnAlone(std::function<void()> draw) {
  TSessionOptions options;
  options.script = "100 end\n";
  options.entry = [draw] {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    Cls();
    draw();
    Flip(-1);
  };
  return RunSession(options).frames.at(-1);
}

// The first pixel where two frames differ inside a rectangle, or "".
std::string firstDifferenceIn(const std::vector<std::uint32_t> &a,
                              const std::vector<std::uint32_t> &b, int left, int top, int right,
                              int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y))
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

struct TMessageCase {
  const char *name;
  int messageState;
  const char16_t *text; // nullptr: the line stays empty
};

class MessageLine : public ::testing::TestWithParam<TMessageCase> {};
} // namespace

TEST_P(MessageLine, ShowsTheTextOfTheMessageState) {
  const TMessageCase &c = GetParam();
  static int state;
  state = c.messageState;
  TSessionOptions options;
  options.keepFrames = {kDesignStart + 1};
  options.onPresent = [](std::int64_t index) {
    if (index == kDesignStart) {
      game::messageState = state;
      game::credits = 1234;
    }
  };
  TSessionResult run = runDesign(std::to_string(kDesignStart + 2) + " end\n", options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  const TText text = c.text ? TText(c.text) : TText();
  // The line above reaches down to y = 730 as well.
  std::vector<std::uint32_t> expected = drawnAlone([text] {
    DrawString(u"Press End to commence Space Battle & Transport", 600, 715);
    DrawString(text, 600, 730);
  });
  EXPECT_EQ(firstDifferenceIn(run.frames.at(kDesignStart + 1), expected, 590, 730, 1024, 746), "");
}

INSTANTIATE_TEST_SUITE_P(
    States, MessageLine,
    ::testing::Values(TMessageCase{"TitleWithTheCredits", 0, u"Drayvane 31  -  Credits: 1234"},
                      TMessageCase{"NotEnoughCredits", 1, u"Not Enough Credits to buy this Design"},
                      TMessageCase{"Won", 2, u"You Have WON the Battle, Cargo credits added"},
                      TMessageCase{"Lost", 3, u"You have Lost the Battle,start a new Design"},
                      TMessageCase{"RanAway", 4, u"You have Run from battle lose 1000 credits"},
                      TMessageCase{"AnyOtherValueDrawsNothing", 5, nullptr},
                      TMessageCase{"NegativeDrawsNothing", -1, nullptr}),
    [](const ::testing::TestParamInfo<TMessageCase> &info) { return info.param.name; });

TEST(DesignScreen, TheCarriedItemFollowsThePointerUntilSpaceDropsIt) {
  TSessionOptions options;
  options.keepFrames = {kDesignStart + 1, kDesignStart + 4};
  options.onPresent = [](std::int64_t index) {
    if (index == kDesignStart) {
      game::carryLayer = 2;
      game::carriedItem = 37;
    }
  };
  TSessionResult run = runDesign(std::to_string(kDesignStart) + " move 500 400\n" +
                                     std::to_string(kDesignStart + 3) + " tap Space\n" +
                                     std::to_string(kDesignStart + 5) + " end\n",
                                 options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["carryLayer"], 0);
  EXPECT_EQ(state["carriedItem"], 0);
  EXPECT_EQ(state["repeatPlace"], 1);
  // The structure item's top-left corner is 12 pixels left of and above the pointer (500, 400).
  std::vector<std::uint32_t> carried = drawnAlone([] {
    DrawPicture(LoadPictureSheet(u".\\IronholdArt\\underequip.png", 25, 25, 0, 100, 1), 488, 388,
                37);
  });
  std::vector<std::uint32_t> empty = drawnAlone([] {});
  ASSERT_NE(firstDifferenceIn(carried, empty, 488, 388, 513, 413), "") << "the art should show";
  EXPECT_EQ(firstDifferenceIn(run.frames.at(kDesignStart + 1), carried, 488, 388, 513, 413), "");
  EXPECT_EQ(firstDifferenceIn(run.frames.at(kDesignStart + 4), empty, 488, 388, 513, 413), "");
}

TEST_P(ButtonBar, ClicksActOnlyStrictlyInsideAButton) {
  const TClickCase &c = GetParam();
  std::ostringstream events;
  events << kDesignStart + 2 << " click " << c.x << " " << c.y << "\n"
         << kDesignStart + 4 << " end\n";
  TSessionResult run = runDesign(events.str());
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["gridLinesHidden"], c.gridLinesHidden);
  EXPECT_EQ(state["shownShip"], c.shownShip);
  EXPECT_EQ(state["splatTimer"], c.splatTimer);
  EXPECT_EQ(state["gridColumns"], 12) << "no button may have started a new set-up";
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ButtonBar,
    ::testing::Values(
        // The run ends as the click's frame is presented: the marker was drawn once.
        TClickCase{"GridLinesLeftEdge", 166, 737, 1, 0, 9},
        TClickCase{"GridLinesRightEdge", 214, 765, 1, 0, 9},
        TClickCase{"GridLinesLineLeftOfArea", 165, 750, 0, 0, 0},
        TClickCase{"GridLinesLineRightOfArea", 215, 750, 0, 0, 0},
        TClickCase{"ExchangeInside", 130, 750, 0, 1, 9},
        TClickCase{"GapBetweenEquipAndStructureAt53", 53, 750, 0, 0, 0},
        TClickCase{"GapBetweenEquipAndStructureAt55", 55, 750, 0, 0, 0},
        TClickCase{"GapBetweenEquipAndStructureAt57", 57, 750, 0, 0, 0},
        TClickCase{"TopLineAt736", 190, 736, 0, 0, 0},
        TClickCase{"BottomLineAt766", 190, 766, 0, 0, 0},
        TClickCase{"AboveTheBar", 190, 700, 0, 0, 0}),
    [](const ::testing::TestParamInfo<TClickCase> &info) { return info.param.name; });

TEST(DesignScreen, DrawsTheBottomTextsTheMessageLineAndTheButtons) {
  TSessionResult run = runDesign(std::to_string(kDesignStart + 1) + " end\n");
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  EXPECT_TRUE(MatchesGolden("design_screen_12x10", run.frames.at(-1)));
}

TEST(DesignScreen, ExchangingTwiceRestoresTheShipsAndTheShownShip) {
  using namespace game;
  TSessionOptions options;
  // Mark both ships once the design screen is up.
  options.onPresent = [](std::int64_t index) {
    if (index == kDesignStart) {
      topUnder[2][3][kItemSlot] = 41;
      topUnder[2][3][kConditionSlot] = 100;
      // An equip item stays only over an underequip item.
      miniUnder[5][1][kItemSlot] = 4;
      miniUnder[5][1][kConditionSlot] = 100;
      miniEquip[5][1][kItemSlot] = 77;
      miniEquip[5][1][kConditionSlot] = 100;
    }
  };
  options.atEnd = [] {
    std::ostringstream out;
    out << GameStateReport() << "top=" << topUnder[2][3][kItemSlot]
        << "\nmini=" << miniEquip[5][1][kItemSlot] << "\nswapTop=" << swapUnder[2][3][kItemSlot]
        << "\n";
    return out.str();
  };
  std::ostringstream events;
  events << kDesignStart + 2 << " click 130 750\n"
         << kDesignStart + 4 << " click 130 750\n"
         << kDesignStart + 6 << " end\n";
  TSessionResult run = runDesign(events.str(), options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["shownShip"], 0);
  EXPECT_EQ(state["top"], 41);
  EXPECT_EQ(state["mini"], 77);
  EXPECT_EQ(state["swapTop"], 0) << "the swap pair holds the ship now in the mini pair";
}

TEST(DesignScreen, GridLinesButtonHidesAndShowsTheLattice) {
  std::ostringstream events;
  events << kDesignStart + 2 << " click 190 750\n"
         << kDesignStart + 6 << " click 190 750\n"
         << kDesignStart + 9 << " end\n";
  TSessionOptions options;
  options.keepFrames = {kDesignStart + 1, kDesignStart + 4, kDesignStart + 8};
  TSessionResult run = runDesign(events.str(), options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  // The lattice's corner, a line inside, and its far corner at (305, 255).
  for (auto [x, y] : {std::pair{5, 5}, {30, 100}, {305, 255}}) {
    EXPECT_EQ(PixelAt(run.frames.at(kDesignStart + 1), x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(PixelAt(run.frames.at(kDesignStart + 4), x, y), 0x000000u) << x << "," << y;
    EXPECT_EQ(PixelAt(run.frames.at(kDesignStart + 8), x, y), 0xFFFFFFu) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(run.frames.at(kDesignStart + 1), 306, 255), 0x000000u);
}

TEST(DesignScreen, NewDesignEmptiesTheGridsAndKeepsCreditsShipAndClickMarker) {
  using namespace game;
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kDesignStart) {
      credits = 1234;
      topUnder[1][1][kItemSlot] = 9;
      miniUnder[0][0][kItemSlot] = 8;
    }
  };
  std::ostringstream events;
  events << kDesignStart + 2 << " click 130 750\n" // exchange: shownShip 1
         << kDesignStart + 4 << " click 240 750\n" // new design
         << kDesignStart + 6 << " tap 2\n"
         << kDesignStart + 7 << " tap 5\n"
         << kDesignStart + 8 << " tap 1\n"
         << kDesignStart + 9 << " tap 1\n"
         << kDesignStart + 10 << " end\n";
  options.keepFrames = {-1};
  TSessionResult run = runDesign(events.str(), options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["gridColumns"], 25);
  EXPECT_EQ(state["gridRows"], 11);
  EXPECT_EQ(state["credits"], 1234);
  EXPECT_EQ(state["shownShip"], 1);
  EXPECT_EQ(state["nonZeroGridElements"], 0);
  EXPECT_GT(state["splatTimer"], 0) << "the marker started by the click goes on after the set-up";
}

TEST(DesignScreen, SpaceTogglesRepeatedPlacingAndEscapeEndsTheProgramWithStatus0) {
  std::ostringstream events;
  events << kDesignStart + 2 << " tap Space\n"
         << kDesignStart + 4 << " tap Space\n"
         << kDesignStart + 5 << " tap Space\n"
         << kDesignStart + 7 << " tap Escape\n";
  TSessionResult run = runDesign(events.str());
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 0);
  TReport state(run.report);
  EXPECT_EQ(state["repeatPlace"], 1);
  EXPECT_EQ(state["carryLayer"], 0);
  // Escape was taken before the frame it arrived in was drawn.
  EXPECT_EQ(run.presents.back().frame, kDesignStart + 6);
}

TEST(DesignScreen, EveryDesignFrameMakesOneThrowAwayDrawWithThePointerPosition) {
  // Pointer moves during the design screen; the draw at the end of a frame
  // sees the events of the next frame, which its own polls take in.
  struct TMove {
    int frame, x, y;
  };
  const std::vector<TMove> moves = {
      {kDesignStart + 3, 100, 700}, {kDesignStart + 5, 1000, 20}, {kDesignStart + 6, 7, 7}};
  const int escapeFrame = kDesignStart + 9;
  std::ostringstream events;
  for (const TMove &m : moves)
    events << m.frame << " move " << m.x << " " << m.y << "\n";
  events << escapeFrame << " tap Escape\n";
  TSessionResult run = runDesign(events.str());
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  // The start-up draw sees the pointer at the centre, where opening put it.
  randomState = 4660;
  RandomInt(512, 384);
  for (int frame = kDesignStart; frame < escapeFrame; ++frame) {
    int x = 300, y = 200;
    for (const TMove &m : moves)
      if (m.frame <= frame + 1) {
        x = m.x;
        y = m.y;
      }
    RandomInt(x, y);
  }
  EXPECT_EQ(TReport(run.report)["randomState"], randomState);
}
