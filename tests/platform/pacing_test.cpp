// Guards the frame pacing rule on a simulated clock and a simulated display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/pacing.h"

namespace {

using pacing::kFrameGap;
using pacing::TFramePacer;

// A small deterministic generator: frame work and sleep overshoot.
struct TLcg {
  std::uint64_t state = 12345;
  double Next() { // in [0, 1)
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  }
};

// The game's frame loop against a display: present returns at the first
// refresh after its call (phase + k / hertz), or at once (hertz 0, or a
// display that only claims to wait). Sleeps overshoot by up to 0.15 ms.
struct TSimulation {
  double hertz = 0;         // the display's real refresh rate; 0: none
  double reportedHertz = 0; // what the pacer is told
  bool presentWaits = true;
  double maxWork = 0.010;
  double phase = 0.0031;

  std::vector<double> shown;    // when each frame reached the screen
  std::vector<double> returned; // when each Flip came back to the game
  std::vector<double> landed;   // the refresh each frame stood for
  TFramePacer pacer;

  double nextRefresh(double t) const {
    const double k = std::floor((t - phase) * hertz) + 1;
    return phase + k / hertz;
  }

  // skipEvery: every such frame is identical to the last and not presented.
  void Run(int frames, int skipEvery = 0) {
    TLcg random;
    pacer.Start(reportedHertz > 0 ? 1.0 / reportedHertz : 0);
    double t = 0.5;
    for (int i = 0; i < frames; ++i) {
      t += random.Next() * maxWork;
      double until = 0;
      if (skipEvery > 0 && i % skipEvery == skipEvery - 1) {
        until = pacer.Skipped(t);
        landed.push_back(until);
      } else {
        t = std::max(t, pacer.PresentNoEarlierThan(t));
        if (hertz > 0 && presentWaits)
          t = nextRefresh(t);
        shown.push_back(t);
        landed.push_back(t);
        until = pacer.Presented(t);
      }
      if (until > t)
        t = until + random.Next() * 0.00015;
      pacer.Resumed(t);
      returned.push_back(t);
    }
  }
};

std::vector<double> Gaps(const std::vector<double> &times) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < times.size(); ++i)
    gaps.push_back(times[i] - times[i - 1]);
  return gaps;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct TRefreshCase {
  double hertz;
  double reportedHertz; // the display mode gives whole hertz
  int refreshesPerFrame;
  bool neverUnderFrameGap;
};

void PrintTo(const TRefreshCase &c, std::ostream *os) {
  *os << c.hertz << " Hz";
}

class PacingOnARefreshingDisplay : public testing::TestWithParam<TRefreshCase> {};

TEST_P(PacingOnARefreshingDisplay, EveryFrameLandsOnTheFirstRefreshDue) {
  const TRefreshCase c = GetParam();
  TSimulation sim;
  sim.hertz = c.hertz;
  sim.reportedHertz = c.reportedHertz;
  sim.Run(600);
  ASSERT_TRUE(sim.pacer.InStepWithRefresh());
  const std::vector<double> gaps = Gaps(sim.shown);
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    const double refreshes = gaps[i] * c.hertz;
    ASSERT_NEAR(refreshes, c.refreshesPerFrame, 1e-6) << "frame " << i + 1 << " at " << c.hertz;
    if (c.neverUnderFrameGap) {
      ASSERT_GE(gaps[i], kFrameGap - 1e-9) << "frame " << i + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, PacingOnARefreshingDisplay,
    testing::Values(TRefreshCase{60, 60, 1, false}, TRefreshCase{59.94, 60, 1, false},
                    TRefreshCase{60.05, 60, 1, false}, TRefreshCase{60.05, 60.05, 1, false},
                    TRefreshCase{120, 120, 2, true}, TRefreshCase{240, 240, 4, true},
                    TRefreshCase{75, 75, 2, true}, TRefreshCase{144, 144, 3, true},
                    TRefreshCase{165, 165, 3, true}));

// A frame the screen already shows is not presented, but still takes its
// refresh: the frames around it keep the rhythm.
TEST(Pacing, SkippedFramesKeepTheRefreshRhythm) {
  for (double hertz : {60.0, 144.0}) {
    TSimulation sim;
    sim.hertz = hertz;
    sim.reportedHertz = hertz;
    sim.Run(600, 3);
    const int perFrame = hertz == 60 ? 1 : 3;
    const std::vector<double> gaps = Gaps(sim.landed);
    for (std::size_t i = 0; i < gaps.size(); ++i)
      ASSERT_NEAR(gaps[i] * hertz, perFrame, 1e-6) << hertz << " Hz, frame " << i + 1;
  }
}

// Without a refresh to wait for (or when the display only claims to wait and
// its presents come back at once) the clock spaces the frames: never closer
// than 1/60 s, and with the median within 0.2 ms of it.
TEST(Pacing, WithoutARefreshTheClockSpacesFramesByASixtieth) {
  struct TCase {
    double reportedHertz;
    int skipEvery;
  };
  for (TCase c : {TCase{0, 0}, TCase{0, 4}, TCase{60, 0}}) {
    TSimulation sim;
    sim.hertz = c.reportedHertz;
    sim.reportedHertz = c.reportedHertz;
    sim.presentWaits = false;
    sim.Run(600, c.skipEvery);
    EXPECT_FALSE(sim.pacer.InStepWithRefresh());
    const std::vector<double> gaps = Gaps(sim.returned);
    for (std::size_t i = 0; i < gaps.size(); ++i)
      ASSERT_GE(gaps[i], kFrameGap * (c.reportedHertz > 0 ? 0.99 : 1.0))
          << "frame " << i + 1 << ", told " << c.reportedHertz << " Hz";
    EXPECT_NEAR(Median(gaps), kFrameGap, 0.0002) << "told " << c.reportedHertz << " Hz";
  }
}

// A slow frame is shown late, and the next one is not hurried to catch up.
TEST(Pacing, ALateFrameIsNotCaughtUp) {
  TFramePacer pacer;
  pacer.Start(0);
  pacer.Resumed(pacer.Presented(1.0));
  const double late = 1.0 + 3 * kFrameGap;
  EXPECT_DOUBLE_EQ(pacer.Presented(late), late);
  pacer.Resumed(late);
  EXPECT_DOUBLE_EQ(pacer.Presented(late + 0.001), late + kFrameGap);
}

} // namespace
