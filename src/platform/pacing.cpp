// Frame pacing: the rule that spaces the game's frames (see pacing.h).
#include "pacing.h"

#include <algorithm>
#include <cmath>

namespace pacing {

namespace {
// A display a hair faster than 60 Hz (a 60.05 Hz panel) still shows every
// frame on the next refresh rather than on every second one.
constexpr double kRefreshSlack = 0.01 * kFrameGap;
// Presents that come back this much before the refresh they stand for
// (counted over a run of presents) mean the refresh is not really waited for.
constexpr int kEarlyLimit = 4;
constexpr int kEarlyWindow = 60;
} // namespace

void TFramePacer::Start(double refreshPeriod) {
  period = refreshPeriod > 0 ? refreshPeriod : 0;
  refreshes = 1;
  if (period > 0)
    refreshes = std::max(1, static_cast<int>(std::ceil((kFrameGap - kRefreshSlack) / period)));
  last = -1;
  lastPresented = false;
  earlyPresents = 0;
  presentsCounted = 0;
}

double TFramePacer::PresentNoEarlierThan(double now) const {
  if (period == 0 || last < 0 || refreshes == 1)
    return now; // the next refresh is the one due
  // Called after the refresh before the one due, the present lands on it.
  return std::max(now, last + (refreshes - 1) * period + period / 2);
}

double TFramePacer::Presented(double now) {
  if (period == 0) {
    const double until = last < 0 ? now : std::max(now, last + kFrameGap);
    last = until;
    lastPresented = true;
    return until;
  }
  double until = now;
  if (last >= 0 && lastPresented) {
    const double expected = refreshes * period;
    if (now - last < expected - period / 4)
      ++earlyPresents;
    // However early the present came back, frames stay a refresh apart.
    until = std::max(now, last + expected - kRefreshSlack);
  }
  held = until > now;
  last = until;
  lastPresented = true;
  if (earlyPresents >= kEarlyLimit) {
    // The refresh is not waited for: from here on the clock paces.
    period = 0;
    refreshes = 1;
  } else if (++presentsCounted == kEarlyWindow) {
    presentsCounted = 0;
    earlyPresents = 0;
  }
  return until;
}

double TFramePacer::Skipped(double now) {
  if (period == 0 || last < 0) {
    const double until = Presented(now);
    lastPresented = false;
    return until;
  }
  // The refresh the frame would have landed on had it been presented.
  const double call = PresentNoEarlierThan(now);
  const int landed = std::max(refreshes, static_cast<int>(std::floor((call - last) / period)) + 1);
  last += landed * period;
  lastPresented = false;
  held = false;
  return last;
}

void TFramePacer::Resumed(double now) {
  // Without the refresh (or past a present that came back early), the next
  // frame counts from when the game really went on, so that no caller's
  // clock ever sees two frames closer.
  if ((period == 0 || held) && now > last)
    last = now;
}

} // namespace pacing
