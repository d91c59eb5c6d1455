// The lattice of the main grid, the button bar and the click marker.
#include "ship_views.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

void drawGridLines() {
  for (int r = 0; r <= gridRows; ++r) {
    for (int c = 0; c <= gridColumns; ++c) {
      DrawLine(5, 5 + 25 * r, 5 + 25 * c, 5 + 25 * r, 1);
      DrawLine(5 + 25 * c, 5, 5 + 25 * c, 5 + 25 * r, 1);
    }
  }
}

void drawButtonBar() {
  DrawPicture(mov, 3, 736, 0);
  DrawPicture(shoot, 111, 736, 0);
  DrawPicture(fight, 165, 736, 0);
  DrawPicture(rally, 57, 736, 0);
  DrawPicture(next, 219, 736, 0);
  DrawPicture(end, 273, 736, 0);
}

void drawClickMarker() {
  if (splatTimer > 0) {
    std::int32_t y = PointerY();
    DrawPicture(splat, PointerX(), y, 0);
  }
  splatTimer -= 1;
  if (splatTimer < 0)
    splatTimer = 0;
}

} // namespace game

namespace game {

void drawTopShip() {
  drawMiniShip();
}
void drawMiniShip() {}

} // namespace game
