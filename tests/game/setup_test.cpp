// The grid-size prompts, driven through the real start-up by scripted keys.
#include <sstream>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/case_name.h"
#include "support/game_report.h"
#include "support/golden.h"
#include "support/session.h"

namespace {
using drayvane_test::PrintTo;
// Keys are separated by blanks, one key a frame, two frames apart; "1+3"
// presses both keys within the same frame.
std::string scriptFor(const std::string &keys, int &frame) {
  std::ostringstream script;
  std::istringstream words(keys);
  for (std::string word; words >> word; frame += 2) {
    std::istringstream together(word);
    for (std::string key; std::getline(together, key, '+');)
      script << frame << " tap " << key << "\n";
  }
  return script.str();
}

struct TSetupCase {
  const char *name;
  const char *columnKeys;
  const char *rowKeys;
  int columns;
  int rows;
};

class GridSetup : public ::testing::TestWithParam<TSetupCase> {};
} // namespace

TEST_P(GridSetup, TypedDigitsGiveTheGridSize) {
  const TSetupCase &c = GetParam();
  int frame = 3;
  std::string script = "0 move 300 200\n";
  script += scriptFor(c.columnKeys, frame);
  script += scriptFor(c.rowKeys, frame);
  script += std::to_string(frame + 2) + " tap Escape\n"; // leaves the design screen
  TSessionOptions options;
  options.script = script;
  options.atEnd = GameStateReport;
  TSessionResult run = RunSession(options);
  ASSERT_TRUE(run.exited) << "signal " << run.signal;
  ASSERT_EQ(run.exitStatus, 0) << "the set-up should end and Escape should end the game\n"
                               << run.standardError;
  TReport state(run.report);
  EXPECT_EQ(state["gridColumns"], c.columns);
  EXPECT_EQ(state["gridRows"], c.rows);
  EXPECT_EQ(state["battleView"], 0);
  EXPECT_EQ(state["messageState"], 0);
  EXPECT_EQ(state["credits"], 5000);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridSetup,
    ::testing::Values(
        TSetupCase{"TwoThenSeven", "2 7", "1 5", 27, 15},
        TSetupCase{"ThreeThenNine", "3 9", "2 9", 39, 24},
        TSetupCase{"RowsThirtyAndMoreClampTo24", "1 0", "3 5", 10, 24},
        TSetupCase{"EscapeOnTensLeavesTheUnitsDigit", "Escape 7", "Escape 0", 7, 0},
        TSetupCase{"EscapeOnUnitsClampsToTheMaximum", "1 Escape", "1 Escape", 39, 24},
        TSetupCase{"EscapeTwiceGivesTheMaximum", "Escape Escape", "Escape Escape", 39, 24},
        TSetupCase{"DigitPressedOnTheTensPromptWaitsForTheUnits", "7 2", "2 4", 27, 24},
        TSetupCase{"ZeroBeatsOtherUnitsInOneFrame", "1 9+0", "1 9+0", 10, 10},
        TSetupCase{"TwoTensKeysInOneFrameLastWinsForColumns", "1+3 0", "2 0", 30, 20},
        // 1 and 2 add up to 30 (clamped to 24); the last key alone would give 20.
        TSetupCase{"TwoTensKeysInOneFrameAddUpForRows", "2 0", "1+2 0", 20, 24}),
    [](const ::testing::TestParamInfo<TSetupCase> &info) { return info.param.name; });

TEST(GridSetupFrames, EachPromptLooksRightAndTheFrameThatTakesADigitIsNotPresented) {
  // Opening presents frames 0 and 1; the column tens prompt is frame 2.
  const std::string script = "0 move 300 200\n"
                             "3 tap 2\n"
                             "6 tap 7\n"
                             "9 tap 1\n"
                             "12 tap 5\n"
                             "14 tap Escape\n";
  TSessionOptions options;
  options.script = script;
  options.keepFrames = {2, 3, 6, 9, 12};
  TSessionResult run = RunSession(options);
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;
  // One present per frame: the pass that took a digit went straight on to
  // the next prompt in the same frame instead of being shown.
  ASSERT_EQ(run.presents.size(), 14u);
  for (std::size_t i = 0; i < run.presents.size(); ++i)
    EXPECT_EQ(run.presents[i].frame, static_cast<std::int64_t>(i)) << "present " << i;
  EXPECT_TRUE(MatchesGolden("setup_columns_tens", run.frames.at(2)));
  EXPECT_TRUE(MatchesGolden("setup_columns_units_after_2", run.frames.at(3)));
  EXPECT_TRUE(MatchesGolden("setup_rows_tens_after_27", run.frames.at(6)));
  EXPECT_TRUE(MatchesGolden("setup_rows_units_after_1", run.frames.at(9)));
  // Frame 12 is already the design screen: its own lattice starts at (5, 5).
  EXPECT_EQ(PixelAt(run.frames.at(12), 5, 5), 0xFFFFFFu);
}

TEST(GridSetupFrames, PromptsWaitWhileNoAcceptedKeyArrives) {
  // Keys the column tens prompt does not ask keep it up; the run then runs out of input.
  TSessionOptions options;
  options.script = "3 tap Q\n4 tap 5\n5 tap Space\n30 end\n";
  TSessionResult run = RunSession(options);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 3);
  ASSERT_GE(run.presents.size(), 30u);
  EXPECT_EQ(run.presents[5].hash, run.presents[29].hash);
}

TEST(GridSetupFrames, TwoRowTensKeysInOneFrameShowTheirSumOnTheUnitsPrompt) {
  // Columns 2 then 0, then 1 and 2 together on the row tens prompt: the row
  // units prompt (from frame 8 on) shows the tens digit 3.
  TSessionOptions options;
  options.script = "3 tap 2\n5 tap 0\n7 tap 1\n7 tap 2\n10 end\n";
  options.keepFrames = {9};
  TSessionResult run = RunSession(options);
  ASSERT_EQ(run.exitStatus, 3) << run.standardError;

  TSessionOptions alone;
  alone.script = "100 end\n";
  alone.entry = [] {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    Cls();
    DrawString(u"ENTER Number of Rows (Max=24)(min=10) 3", 10, 30);
    DrawString(u"Number of Colums (Max=39)(min=10) 20", 10, 10);
    Flip(-1);
  };
  const std::vector<std::uint32_t> expected = RunSession(alone).frames.at(-1);
  const std::vector<std::uint32_t> &shown = run.frames.at(9);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      ASSERT_EQ(PixelAt(shown, x, y), PixelAt(expected, x, y))
          << "first difference at " << x << ", " << y;
}
