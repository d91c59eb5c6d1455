// Guards the polled input: key hits, held keys, buttons, focus, the pointer, and the input scripts.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/display.h"
#include "platform/input.h"
#include "support/case_name.h"
#include "support/session.h"

namespace {
using drayvane_test::PrintTo;

// The game's display over a fresh headless backend, then a script whose
// frames count from now (the first opening of a run presents two frames).
class ScriptedInput : public ::testing::Test {
protected:
  void start(const std::string &text) {
    Headless().Reset();
    ASSERT_NE(OpenDisplay(1024, 768, 32, 60, 0), nullptr);
    std::string error;
    std::optional<TScript> script = ParseScript(text + "100000 end\n", &error);
    ASSERT_TRUE(script) << error;
    base = Headless().frame();
    for (TScriptEvent &e : script->events)
      e.frame += base;
    script->endFrame += base;
    Headless().SetScript(*script);
  }
  std::int64_t frame() const { return Headless().frame() - base; }
  // Game frames up to the script's frame f, each asking one question that takes no key.
  void runTo(std::int64_t f) {
    while (frame() < f) {
      PointerX();
      Flip(-1);
    }
  }
  const TInputState &state() const { return InputState(); }

  std::int64_t base = 0;
};

std::string Repeats(const char *key, int from, int to) {
  std::string lines;
  for (int f = from; f < to; ++f)
    lines += std::to_string(f) + " keyrepeat " + key + "\n";
  return lines;
}

struct TPressCase {
  const char *name;
  std::string script;
  int key;
  int hits;
};

class KeyPresses : public ScriptedInput, public ::testing::WithParamInterface<TPressCase> {};

TEST_P(KeyPresses, CountOncePerPressHoweverLongHeldAndWhenEverAsked) {
  const TPressCase &c = GetParam();
  // Asked once, after everything has happened.
  start(c.script);
  runTo(130);
  EXPECT_EQ(TakeKeyHits(c.key), c.hits) << "asked at the end";
  EXPECT_EQ(TakeKeyHits(c.key), 0) << "asked right again";
  // Asked every frame, as the game's loops do.
  start(c.script);
  int total = 0;
  while (frame() < 130) {
    total += TakeKeyHits(c.key);
    Flip(-1);
  }
  EXPECT_EQ(total, c.hits) << "asked every frame";
}

INSTANTIATE_TEST_SUITE_P(
    Presses, KeyPresses,
    ::testing::Values(TPressCase{"q_held_two_seconds", "0 keydown Q\n120 keyup Q\n", 81, 1},
                      TPressCase{"q_held_with_repeats",
                                 "0 keydown Q\n" + Repeats("Q", 30, 120) + "120 keyup Q\n", 81, 1},
                      TPressCase{"q_release_lost", "0 keydown Q\n60 keydown Q\n120 keyup Q\n", 81,
                                 1},
                      TPressCase{"w_twice", "0 tap W\n10 tap W\n", 87, 2},
                      TPressCase{"w_twice_in_one_frame", "3 tap W\n3 tap W\n", 87, 2},
                      TPressCase{"keypad_5_is_not_digit_5", "0 tap Kp5\n", 53, 0},
                      TPressCase{"keypad_5_has_its_own_code", "0 tap Kp5\n", 101, 1},
                      TPressCase{"keypad_enter_is_enter", "0 tap KpEnter\n", 13, 1},
                      TPressCase{"another_key_is_not_counted", "0 tap E\n5 tap 5\n", 81, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ScriptedInput, ClearKeysWhileHeldCountsTheKeyOnlyAfterANewPress) {
  start("0 keydown Q\n" + Repeats("Q", 5, 40) + "40 keyup Q\n50 keydown Q\n60 keyup Q\n");
  runTo(2);
  ASSERT_EQ(state().keyStates[81], 1);
  ASSERT_EQ(state().keyHits[81], 1);
  ClearKeys();
  EXPECT_EQ(state().keyStates[81], 0);
  EXPECT_EQ(state().keyHits[81], 0);
  runTo(45);
  EXPECT_EQ(TakeKeyHits(81), 0) << "the held key's repeats and release counted";
  runTo(51);
  EXPECT_EQ(state().keyStates[81], 1);
  EXPECT_EQ(TakeKeyHits(81), 1);
}

TEST_F(ScriptedInput, ABusyButtonLoopEndsOnTheFirstQueryAfterTheRelease) {
  start("0 buttondown 1\n50 buttonup 1\n60 buttondown 1\n90 buttonup 1\n");
  ASSERT_EQ(ButtonDown(1), 1);
  // The loop only polls, so game time moves by polls alone.
  std::int64_t lastDownFrame = -1;
  while (ButtonDown(1) != 0)
    lastDownFrame = frame();
  EXPECT_EQ(frame(), 50) << "the loop went on past the release's frame";
  EXPECT_EQ(lastDownFrame, 49);
  runTo(61);
  ASSERT_EQ(ButtonDown(1), 1);
  waitForRelease();
  EXPECT_EQ(frame(), 90);
  EXPECT_EQ(state().buttonStates[1], 0);
}

TEST_F(ScriptedInput, LosingAndRegainingFocusClearsKeysButtonsAndPendingPresses) {
  start("0 keydown Q\n0 tap W\n0 buttondown 1\n0 buttondown 2\n5 focuslost\n8 keydown E\n"
        "9 tap R\n10 buttondown 1\n12 focusgained\n");
  auto allClear = [&] {
    for (int k = 0; k < 256; ++k)
      if (state().keyStates[k] != 0 || state().keyHits[k] != 0)
        return "key " + std::to_string(k);
    for (int b = 0; b < 4; ++b)
      if (state().buttonStates[b] != 0 || state().buttonHits[b] != 0)
        return "button " + std::to_string(b);
    return std::string();
  };
  runTo(1);
  ASSERT_EQ(state().keyStates[81], 1);
  ASSERT_EQ(state().keyHits[87], 1);
  ASSERT_EQ(state().buttonStates[1] + state().buttonStates[2], 2);
  EXPECT_EQ(state().appSuspended, 0);
  runTo(6);
  EXPECT_EQ(allClear(), "") << "after the focus went";
  EXPECT_EQ(state().appSuspended, 1);
  runTo(11);
  ASSERT_EQ(state().keyStates[69] + state().buttonStates[1], 2) << "pressed while away";
  runTo(13);
  EXPECT_EQ(allClear(), "") << "after the focus came back";
  EXPECT_EQ(state().appSuspended, 0);
  EXPECT_EQ(TakeKeyHits(82), 0);
  EXPECT_EQ(ButtonDown(1), 0);
}

TEST_F(ScriptedInput, ButtonsLeaveThePointerWhereTheLastMoveLeftIt) {
  start("5 move 100 200\n7 buttondown 1\n9 buttonup 1\n11 buttondown 2\n13 click 300 -40\n");
  const std::pair<std::int64_t, std::pair<int, int>> checks[] = {
      {0, {512, 384}}, // the opening's move to the centre
      {6, {100, 200}}, {8, {100, 200}}, {10, {100, 200}}, {12, {100, 200}}, {15, {300, -40}}};
  for (const auto &[f, position] : checks) {
    runTo(f);
    EXPECT_EQ(PointerX(), position.first) << "frame " << f;
    EXPECT_EQ(PointerY(), position.second) << "frame " << f;
  }
}

TEST(PointerMoves, ArriveAsSigned16BitPositions) {
  const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
      {{1023, 767}, {1023, 767}},
      {{-5, -1}, {-5, -1}},
      {{65535, 65534}, {-1, -2}},
      {{32768, 32767}, {-32768, 32767}},
      {{70000, -32769}, {4464, 32767}}};
  for (const auto &[sent, seen] : cases) {
    ApplyInputEvent({TEventKind::PointerMove, 0, sent.first, sent.second});
    EXPECT_EQ(InputState().pointerX, seen.first) << sent.first;
    EXPECT_EQ(InputState().pointerY, seen.second) << sent.second;
  }
}

TEST_F(ScriptedInput, ACloseRequestIsOnlyNoted) {
  InputState().closeRequested = 0;
  start("0 keydown Q\n0 buttondown 1\n3 close\n");
  runTo(2);
  ASSERT_EQ(state().closeRequested, 0);
  runTo(4);
  EXPECT_EQ(state().closeRequested, 1);
  EXPECT_EQ(state().keyStates[81], 1);
  EXPECT_EQ(state().keyHits[81], 1);
  EXPECT_EQ(state().buttonStates[1], 1);
  EXPECT_EQ(state().appSuspended, 0);
  EXPECT_NE(CurrentDisplay(), nullptr);
  EXPECT_TRUE(Headless().windowOpen());
}

// ---- Scripts

struct TGoodLine {
  std::string text;
  std::vector<TScriptEvent> events;
  std::int64_t endFrame;
};

TScriptEvent At(std::int64_t frame, TEventKind kind, int code = 0, int x = 0, int y = 0) {
  return {frame, TBackendEvent{kind, code, x, y}};
}

TEST(Scripts, GoodLinesGiveTheirEventsInFrameOrder) {
  using K = TEventKind;
  const TGoodLine cases[] = {
      {"5 keydown Q", {At(5, K::KeyDown, 81)}, 6},
      {"0 tap 27", {At(0, K::KeyDown, 27), At(0, K::KeyUp, 27)}, 1},
      {"2 keyrepeat kpenter\n1 keyup Kp5", {At(1, K::KeyUp, 101), At(2, K::KeyRepeat, 13)}, 3},
      {"3 keydown 7 # the digit", {At(3, K::KeyDown, 55)}, 4},
      {"1 keydown LShift\n1 keydown F12\n1 keydown escape",
       {At(1, K::KeyDown, 160), At(1, K::KeyDown, 123), At(1, K::KeyDown, 27)},
       2},
      {"3 click 10 -20",
       {At(3, K::PointerMove, 0, 10, -20), At(3, K::ButtonDown, 1), At(4, K::ButtonUp, 1)},
       5},
      {"4 move -32768 32767\n4 buttondown 3\n5 buttonup 3",
       {At(4, K::PointerMove, 0, -32768, 32767), At(4, K::ButtonDown, 3), At(5, K::ButtonUp, 3)},
       6},
      {"9 wheel -240\n9 char 65", {At(9, K::Wheel, -240), At(9, K::Character, 65)}, 10},
      {"1 focuslost\n2 focusgained\n3 close",
       {At(1, K::Suspend), At(2, K::Resume), At(3, K::Close)},
       4},
      {"# only a comment\n\n   \n10 end", {}, 10},
      {"", {}, 1},
  };
  for (const TGoodLine &c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    const std::optional<TScript> script = ParseScript(c.text, &error);
    ASSERT_TRUE(script) << error;
    ASSERT_EQ(script->events.size(), c.events.size());
    for (std::size_t i = 0; i < c.events.size(); ++i) {
      const TScriptEvent &got = script->events[i], &want = c.events[i];
      EXPECT_EQ(got.frame, want.frame) << "event " << i;
      EXPECT_EQ(got.event.kind, want.event.kind) << "event " << i;
      EXPECT_EQ(got.event.code, want.event.code) << "event " << i;
      EXPECT_EQ(got.event.x, want.event.x) << "event " << i;
      EXPECT_EQ(got.event.y, want.event.y) << "event " << i;
    }
    EXPECT_EQ(script->endFrame, c.endFrame);
  }
}

TEST(Scripts, ABadLineGivesNoScriptAndIsNamed) {
  const char *const badLines[] = {
      "keydown Q",   "-1 tap Q",          "1.5 tap Q",       "5",
      "5 keydown",   "5 keydown QQ",      "5 keydown 256",   "5 keydown 00",
      "5 keydown !", "5 tap Q W",         "5 buttondown 4",  "5 buttondown 0",
      "5 buttonup",  "5 move 1",          "5 move 40000 0",  "5 click 1 -32769",
      "5 wheel x",   "5 char 1e3",        "5 focuslost now", "5 end 6",
      "5 jump",      "99999999999 tap Q", "5 move 1 2 3",
  };
  for (const char *bad : badLines) {
    SCOPED_TRACE(bad);
    std::string error;
    EXPECT_FALSE(ParseScript(std::string("0 tap Q\n") + bad + "\n9 tap W\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}

// ---- Running out of input

TEST(OutOfInput, ARunWhoseScriptRunsOutEndsWithItsOwnStatus) {
  const std::pair<const char *, std::function<void()>> entries[] = {
      {"polling",
       [] {
         for (;;)
           PollEvents();
       }},
      {"presenting",
       [] {
         OpenDisplay(1024, 768, 32, 60, 0);
         for (;;)
           Flip(-1);
       }},
      {"waiting for a release",
       [] {
         OpenDisplay(1024, 768, 32, 60, 0);
         while (ButtonDown(1) == 0)
           Flip(-1);
         waitForRelease();
       }},
  };
  for (const auto &[name, entry] : entries) {
    SCOPED_TRACE(name);
    TSessionOptions options;
    options.script = "0 tap Q\n3 buttondown 1\n";
    options.entry = entry;
    const TSessionResult result = RunSession(options);
    ASSERT_TRUE(result.exited) << "signal " << result.signal;
    EXPECT_EQ(result.exitStatus, kOutOfInputStatus);
  }
}

} // namespace
