// Start-up: the platform, the display, the thirteen pictures and the grids.
#include "startup.h"

#include <cstdio>
#include <cstdlib>

#include "design_screen.h"
#include "platform/platform.h"
#include "setup.h"
#include "state.h"

namespace game {

namespace {
bool started = false;

std::int32_t loadSingle(const char16_t *path) {
  std::int32_t handle = LoadPicture(path, -1);
  if (handle == 0)
    std::fprintf(stderr, "Drayvane 31: could not load picture %s\n",
                 FileNameFromPath(path).c_str());
  return handle;
}

std::int32_t loadSheet(const char16_t *path, int cellSize) {
  std::int32_t handle = LoadPictureSheet(path, cellSize, cellSize, 0, 100, 1);
  if (handle == 0)
    std::fprintf(stderr, "Drayvane 31: could not load picture sheet %s\n",
                 FileNameFromPath(path).c_str());
  return handle;
}
} // namespace

void loadPictures() {
  bakboard = loadSingle(u".\\IronholdArt\\bakboard.png");
  bacdrop = loadSingle(u".\\IronholdArt\\bacdrop.png");
  equip = loadSheet(u".\\IronholdArt\\equip.png", 20);
  underequip = loadSheet(u".\\IronholdArt\\underequip.png", 25);
  mov = loadSingle(u".\\IronholdArt\\mov.png");
  shoot = loadSingle(u".\\IronholdArt\\shoot.png");
  fight = loadSingle(u".\\IronholdArt\\fight.png");
  rally = loadSingle(u".\\IronholdArt\\rally.png");
  end = loadSingle(u".\\IronholdArt\\end.png");
  next = loadSingle(u".\\IronholdArt\\next.png");
  swords2 = loadSingle(u".\\IronholdArt\\swords2.png");
  swords = loadSingle(u".\\IronholdArt\\swords.png");
  splat = loadSingle(u".\\IronholdArt\\splat.png");
}

void busyPause(std::int32_t count) {
  // volatile keeps the optimiser from removing the count.
  volatile std::int64_t counter = 0;
  while (counter <= count)
    counter = counter + 1;
}

void throwAwayDraw() {
  std::int32_t y = PointerY();
  std::int32_t x = PointerX();
  discardedRoll = RandomInt(x, y);
}

void startUp() {
  if (started)
    return; // the start-up runs once
  started = true;
  StartPlatform();
  OpenDisplay(1024, 768, 32, 60, 0);
  loadPictures();
  throwAwayDraw();
  createGrids();
  for (;;) {
    runGridSetup();
    runDesignLoop();
  }
}

} // namespace game
