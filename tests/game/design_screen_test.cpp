// The design screen loop: buttons, texts, keys and the throw-away draws,
// driven through the real start-up by scripted input.
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "game/startup.h"
#include "game/state.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/platform.h"
#include "support/case_name.h"
#include "support/design_session.h"
#include "support/game_report.h"
#include "support/golden.h"
#include "support/session.h"

namespace {
using drayvane_test::PrintTo;

TSessionResult runDesign(const std::string &events, TSessionOptions options = {}) {
  options.script = kSetup12x10Script + events;
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

struct TMessageCase {
  const char *name;
  int messageState;
  const char16_t *text; // nullptr: the line stays empty
};

class MessageLine : public ::testing::TestWithParam<TMessageCase> {};

// Puts the generator at its fixed start for numbers worked out in the test,
// and back as it was afterwards, since later sessions are forked from here.
struct TRandomStart {
  std::int32_t saved = randomState;
  TRandomStart() { randomState = 4660; }
  ~TRandomStart() { randomState = saved; }
};
} // namespace

TEST_P(MessageLine, ShowsTheTextOfTheMessageState) {
  const TMessageCase &c = GetParam();
  static int state;
  state = c.messageState;
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1};
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      game::messageState = state;
      game::credits = 1234;
    }
  };
  TSessionResult run = runDesign(std::to_string(kFirstDesignFrame + 2) + " end\n", options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  const TText text = c.text ? TText(c.text) : TText();
  // The line above reaches down to y = 730 as well.
  std::vector<std::uint32_t> expected = DrawnAlone([text] {
    DrawString(u"Press End to commence Space Battle & Transport", 600, 715);
    DrawString(text, 600, 730);
  });
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), expected, 590, 730, 1024, 746),
            "");
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
  options.keepFrames = {kFirstDesignFrame + 1, kFirstDesignFrame + 4};
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      game::carryLayer = 2;
      game::carriedItem = 37;
    }
  };
  TSessionResult run = runDesign(std::to_string(kFirstDesignFrame) + " move 500 400\n" +
                                     std::to_string(kFirstDesignFrame + 3) + " tap Space\n" +
                                     std::to_string(kFirstDesignFrame + 5) + " end\n",
                                 options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["carryLayer"], 0);
  EXPECT_EQ(state["carriedItem"], 0);
  EXPECT_EQ(state["repeatPlace"], 1);
  // The structure item's top-left corner is 12 pixels left of and above the pointer (500, 400).
  std::vector<std::uint32_t> carried = DrawnAlone([] {
    DrawPicture(LoadPictureSheet(u".\\IronholdArt\\underequip.png", 25, 25, 0, 100, 1), 488, 388,
                37);
  });
  std::vector<std::uint32_t> empty = DrawnAlone([] {});
  ASSERT_NE(FirstDifferenceIn(carried, empty, 488, 388, 513, 413), "") << "the art should show";
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 1), carried, 488, 388, 513, 413),
            "");
  EXPECT_EQ(FirstDifferenceIn(run.frames.at(kFirstDesignFrame + 4), empty, 488, 388, 513, 413), "");
}

TEST_P(ButtonBar, ClicksActOnlyStrictlyInsideAButton) {
  const TClickCase &c = GetParam();
  std::ostringstream events;
  events << kFirstDesignFrame + 2 << " click " << c.x << " " << c.y << "\n"
         << kFirstDesignFrame + 4 << " end\n";
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
  TSessionResult run = runDesign(std::to_string(kFirstDesignFrame + 1) + " end\n");
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  EXPECT_TRUE(MatchesGolden("design_screen_12x10", run.frames.at(-1)));
}

TEST(DesignScreen, ExchangingTwiceRestoresTheShipsAndTheShownShip) {
  using namespace game;
  TSessionOptions options;
  // Mark both ships once the design screen is up.
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
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
  events << kFirstDesignFrame + 2 << " click 130 750\n"
         << kFirstDesignFrame + 4 << " click 130 750\n"
         << kFirstDesignFrame + 6 << " end\n";
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
  events << kFirstDesignFrame + 2 << " click 190 750\n"
         << kFirstDesignFrame + 6 << " click 190 750\n"
         << kFirstDesignFrame + 9 << " end\n";
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1, kFirstDesignFrame + 4, kFirstDesignFrame + 8};
  TSessionResult run = runDesign(events.str(), options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;
  // The lattice's corner, a line inside, and its far corner at (305, 255).
  for (auto [x, y] : {std::pair{5, 5}, {30, 100}, {305, 255}}) {
    EXPECT_EQ(PixelAt(run.frames.at(kFirstDesignFrame + 1), x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(PixelAt(run.frames.at(kFirstDesignFrame + 4), x, y), 0x000000u) << x << "," << y;
    EXPECT_EQ(PixelAt(run.frames.at(kFirstDesignFrame + 8), x, y), 0xFFFFFFu) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(run.frames.at(kFirstDesignFrame + 1), 306, 255), 0x000000u);
}

TEST(DesignScreen, NewDesignEmptiesTheGridsAndKeepsCreditsShipAndClickMarker) {
  using namespace game;
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      credits = 1234;
      topUnder[1][1][kItemSlot] = 9;
      miniUnder[0][0][kItemSlot] = 8;
    }
  };
  std::ostringstream events;
  events << kFirstDesignFrame + 2 << " click 130 750\n" // exchange: shownShip 1
         << kFirstDesignFrame + 4 << " click 240 750\n" // new design
         << kFirstDesignFrame + 6 << " tap 2\n"
         << kFirstDesignFrame + 7 << " tap 5\n"
         << kFirstDesignFrame + 8 << " tap 1\n"
         << kFirstDesignFrame + 9 << " tap 1\n"
         << kFirstDesignFrame + 10 << " end\n";
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
  events << kFirstDesignFrame + 2 << " tap Space\n"
         << kFirstDesignFrame + 4 << " tap Space\n"
         << kFirstDesignFrame + 5 << " tap Space\n"
         << kFirstDesignFrame + 7 << " tap Escape\n";
  TSessionResult run = runDesign(events.str());
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 0);
  TReport state(run.report);
  EXPECT_EQ(state["repeatPlace"], 1);
  EXPECT_EQ(state["carryLayer"], 0);
  // Escape was taken before the frame it arrived in was drawn.
  EXPECT_EQ(run.presents.back().frame, kFirstDesignFrame + 6);
}

TEST(DesignScreen, EveryDesignFrameMakesOneThrowAwayDrawWithThePointerPosition) {
  // The pointer stays at the centre, where opening put it, until frame 3, so
  // the start-up draw sees (512, 384). A draw at the end of a design frame
  // already sees the next frame's events, which its own polls take in; each
  // move lands on a frame of its own so a stale position gives other numbers.
  struct TMove {
    int frame, x, y;
  };
  const std::vector<TMove> moves = {{3, 300, 200},
                                    {kFirstDesignFrame + 2, 100, 700},
                                    {kFirstDesignFrame + 3, 1000, 20},
                                    {kFirstDesignFrame + 5, 7, 640},
                                    {kFirstDesignFrame + 6, 850, 9}};
  const int escapeFrame = kFirstDesignFrame + 8;
  std::ostringstream script;
  for (const TMove &m : moves)
    script << m.frame << " move " << m.x << " " << m.y << "\n";
  script << "4 tap 1\n6 tap 2\n8 tap 1\n10 tap 0\n" << escapeFrame << " tap Escape\n";

  // The roll held at every present, and the last one at the end.
  static std::vector<std::int32_t> rolls;
  TSessionOptions options;
  options.script = script.str();
  options.onPresent = [](std::int64_t) { rolls.push_back(game::discardedRoll); };
  options.atEnd = [] {
    std::ostringstream out;
    for (std::int32_t roll : rolls)
      out << roll << " ";
    out << game::discardedRoll;
    return out.str();
  };
  TSessionResult run = RunSession(options);
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  auto pointerAt = [&](int frame) {
    std::pair<int, int> at{512, 384};
    for (const TMove &m : moves)
      if (m.frame <= frame)
        at = {m.x, m.y};
    return at;
  };
  // The generator's numbers, worked out here from its fixed start.
  const TRandomStart fresh;
  std::vector<std::int32_t> expected;
  std::int32_t roll = 0;
  for (const TPresentInfo &present : run.presents) {
    expected.push_back(roll);
    if (present.index == 1) // the start-up draw follows the two presents of opening
      roll = RandomInt(pointerAt(2).first, pointerAt(2).second);
    if (present.frame >= kFirstDesignFrame) { // a design frame draws after its present
      auto [x, y] = pointerAt(static_cast<int>(present.frame) + 1);
      roll = RandomInt(x, y);
    }
  }
  std::ostringstream want;
  for (std::int32_t r : expected)
    want << r << " ";
  want << roll;
  EXPECT_EQ(run.report, want.str());
}

TEST(DesignScreen, TheThrowAwayDrawAsksThePointerYBeforeX) {
  // A move that arrives between the two questions shows which came first.
  // Game time moves on by a frame every kPollsPerFrame polls without a present: the
  // entry polls to just before a frame's end, so the first question sees
  // frame 3's position and the second frame 4's.
  TSessionOptions options;
  options.script = "3 move 40 700\n4 move 900 10\n6 end\n";
  options.entry = [] {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    const std::int64_t start = Headless().frame();
    while (Headless().frame() == start)
      PollEvents();
    for (int i = 0; i < kPollsPerFrame - 2; ++i)
      PollEvents();
    game::throwAwayDraw();
    std::exit(0);
  };
  options.atEnd = [] { return std::to_string(game::discardedRoll); };
  TSessionResult run = RunSession(options);
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;
  const std::int32_t yFirst = (TRandomStart(), RandomInt(900, 700));
  const std::int32_t xFirst = (TRandomStart(), RandomInt(40, 10));
  ASSERT_NE(yFirst, xFirst);
  EXPECT_EQ(run.report, std::to_string(yFirst));
}
