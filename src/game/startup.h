// The program's entry: platform, display, pictures, grids, then the screens.
#pragma once

#include <cstdint>

namespace game {

// Runs the game; a second entry returns at once.
void startUp();
void loadPictures();
// Burns processor time by counting from 0 up to count.
void busyPause(std::int32_t count);
// The draw whose only effect is to advance the random generator.
void throwAwayDraw();

} // namespace game
