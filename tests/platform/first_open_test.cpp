// Guards the first opening of the display in a run: the screen starts black, and input before it is
// dropped.
//
// A session's child is a fork of this process, so these tests live in a
// program of their own that never opens the display itself: every child
// starts as a run does, with no display ever opened.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/display.h"
#include "platform/input.h"
#include "support/game_report.h"
#include "support/session.h"

namespace {

std::string childReport;

TEST(FirstOpening, TheFirstFramePresentedStartsFromABlackScreen) {
  TSessionOptions options;
  options.script = "100 end\n";
  options.entry = [] {
    OpenDisplay(1024, 768, 32, 60, 0);
    DrawLine(10, 10, 20, 10, 1); // drawn without clearing first
    Flip(-1);
    OpenDisplay(1024, 768, 32, 60, 0); // the screen is cleared once a run
    Flip(-1);
  };
  const TSessionResult result = RunSession(options);
  ASSERT_TRUE(result.exited) << "signal " << result.signal;
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;

  const std::vector<std::uint32_t> black(1024 * 768, 0xFF000000u);
  const std::uint64_t blackHash = FrameHash(black.data(), black.size());
  ASSERT_EQ(result.presents.size(), 4u) << "two clearing presents, then the two frames";
  for (int i : {0, 1}) {
    EXPECT_EQ(result.presents[i].hash, blackHash) << "clearing present " << i;
    EXPECT_FALSE(result.presents[i].inStepWithRefresh) << "clearing present " << i;
  }
  std::vector<std::uint32_t> withLine = black;
  for (int x = 10; x <= 20; ++x)
    withLine[10 * 1024 + x] = 0xFFFFFFFFu;
  EXPECT_EQ(result.presents[2].hash, FrameHash(withLine.data(), withLine.size()));
  EXPECT_TRUE(result.presents[2].inStepWithRefresh);
}

TEST(FirstOpening, InputBeforeTheDisplayOpensIsNotRecorded) {
  TSessionOptions options;
  options.script = "0 keydown Q\n0 buttondown 1\n0 move 5 6\n0 focuslost\n4 tap W\n100 end\n";
  options.entry = [] {
    for (int i = 0; i < 50; ++i)
      PollEvents(); // the frame-0 events arrive here, before the display
    OpenDisplay(1024, 768, 32, 60, 0);
    std::ostringstream report;
    report << "hitsQ=" << TakeKeyHits(81) << "\nheldQ=" << InputState().keyStates[81]
           << "\nbutton1=" << ButtonDown(1) << "\nsuspended=" << InputState().appSuspended
           << "\nx=" << PointerX() << "\ny=" << PointerY() << "\n";
    while (Headless().frame() < 5)
      Flip(-1);
    report << "hitsW=" << TakeKeyHits(87) << "\n";
    childReport = report.str();
  };
  options.atEnd = [] { return childReport; };
  const TSessionResult result = RunSession(options);
  ASSERT_TRUE(result.exited) << "signal " << result.signal;
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  const TReport report(result.report);
  EXPECT_EQ(report["hitsQ"], 0);
  EXPECT_EQ(report["heldQ"], 0);
  EXPECT_EQ(report["button1"], 0);
  EXPECT_EQ(report["suspended"], 0);
  EXPECT_EQ(report["x"], 512) << "only the opening's move to the centre counts";
  EXPECT_EQ(report["y"], 384);
  EXPECT_EQ(report["hitsW"], 1) << "a press after the opening is recorded";
}

} // namespace
