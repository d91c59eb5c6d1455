// The design screen: one design frame per displayed frame.
#pragma once

namespace game {

// Runs design frames until Escape ends the program (status 0) or the new
// design button returns, after which the caller runs the set-up again.
void runDesignLoop();
// One pass of the design screen; false when the new design button left it.
bool designFrame();
// True when button 1 is down with the pointer strictly inside the button's band.
bool buttonHit(int left, int right);

} // namespace game
