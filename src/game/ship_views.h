// The ships' views and the design screen's furniture: lattice, buttons, click marker.
#pragma once

namespace game {

void drawGridLines();
void drawButtonBar();
void drawClickMarker();

} // namespace game
