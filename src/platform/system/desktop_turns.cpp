// The turns of a desktop system (Linux, Windows): the game has a thread of its
// own and a window of its own, so the system needs no turns from it.
#include "system.h"

bool WindowFillsPage() {
  return false;
}

bool FramesPacedBySystem() {
  return false;
}

void AwaitNextFrame() {}

void YieldIfDue() {}

bool SleepGivingTurns(std::uint32_t) {
  return false;
}
