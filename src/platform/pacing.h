// Frame pacing: when a finished frame may go to the screen and how long the
// game waits after it, so that frames are never closer than 1/60 s and, on a
// display whose present waits for the refresh, land on the first refresh due.
//
// Times are seconds on one monotonic clock; the caller reads the clock and
// does the waiting, so the rule itself can be run on a simulated clock.
#pragma once

namespace pacing {

constexpr double kFrameGap = 1.0 / 60.0; // the game's frames are at most 60 a second

class TFramePacer {
public:
  // refreshPeriod: the display's refresh period when the present waits for
  // the refresh; 0 when it returns at once (the clock alone paces then).
  void Start(double refreshPeriod);

  // Whether presents are taken to wait for the refresh. Turns false for good
  // once the presents are seen to come back early too often.
  bool InStepWithRefresh() const { return period > 0; }
  // Refreshes from one frame to the next when in step.
  int RefreshesPerFrame() const { return refreshes; }

  // A frame finished at now: the time before which its present must not be
  // called (a present called later than that lands one refresh late).
  double PresentNoEarlierThan(double now) const;
  // Its present came back at now: the time until which the game waits.
  double Presented(double now);
  // A frame not presented, because the screen already shows it, finished at
  // now: the time until which the game waits, as if it had been presented.
  double Skipped(double now);
  // The game went on at now, after waiting.
  void Resumed(double now);

private:
  double period = 0; // refresh period, 0 when the clock alone paces
  int refreshes = 1; // refreshes a frame stays on the screen
  double last = -1;  // when the last frame reached the screen; -1: none yet
  bool lastPresented = false;
  bool held = false; // the last present came back early and was held
  int earlyPresents = 0;
  int presentsCounted = 0;
};

} // namespace pacing
