// The ships' views and the design screen's furniture: both ships with their
// removal rules, the lattice, the buttons and the click marker.
#pragma once

namespace game {

// Draws the main-grid ship, cleans its cells, then draws the mini display.
void drawTopShip();
// Draws the mini-display ship scaled into 7 x 7 squares and cleans its cells.
void drawMiniShip();
void drawGridLines();
void drawButtonBar();
void drawClickMarker();

} // namespace game
