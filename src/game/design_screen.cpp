// The design screen loop: the frame's fixed order, the buttons and the texts.
#include "design_screen.h"

#include "battle.h"
#include "hovered_cell.h"
#include "palettes.h"
#include "platform/platform.h"
#include "saved_designs.h"
#include "ship_views.h"
#include "startup.h"
#include "state.h"
#include "statistics.h"

namespace game {

namespace {
constexpr int kEscape = 27;
constexpr int kSpace = 32;

void drawBottomTexts() {
  DrawString(u"Press 1,2,3,4 or 5 for quick Setup", 600, 685);
  DrawString(u"Dont risk all your credits on one ship", 600, 670);
  DrawString(u"Use crew to help protect areas like Guns", 600, 655);
  DrawString(u"Press End to commence Space Battle & Transport", 600, 715);
  if (messageState == 0)
    DrawString(u"Drayvane 31  -  Credits: " + DecimalText(credits), 600, 730);
  else if (messageState == 2)
    DrawString(u"You Have WON the Battle, Cargo credits added", 600, 730);
  else if (messageState == 3)
    DrawString(u"You have Lost the Battle,start a new Design", 600, 730);
  else if (messageState == 4)
    DrawString(u"You have Run from battle lose 1000 credits", 600, 730);
  else if (messageState == 1)
    DrawString(u"Not Enough Credits to buy this Design", 600, 730);
}

// A button press acts on its release, and starts the click marker.
void acceptClick() {
  waitForRelease();
  splatTimer = 10;
}
} // namespace

bool buttonHit(int left, int right) {
  return ButtonDown(1) != 0 && PointerX() > left && PointerX() < right && PointerY() > 736 &&
         PointerY() < 766;
}

bool designFrame() {
  Cls();
  handleSavedDesignKeys();
  if (gridLinesHidden == 0)
    drawGridLines();
  drawStatsPanel();
  inspectCell();
  drawTopShip();
  drawButtonBar();

  if (buttonHit(3, 53)) { // equip palette
    acceptClick();
    pickEquipItem();
  }
  if (buttonHit(111, 161)) { // exchange the ships
    acceptClick();
    exchangeShips();
  }
  if (buttonHit(165, 215)) { // grid lines on and off
    acceptClick();
    gridLinesHidden += 1;
    if (gridLinesHidden == 2)
      gridLinesHidden = 0;
  }
  if (buttonHit(57, 107)) { // underequip palette
    acceptClick();
    pickUnderequipItem();
  }
  if (buttonHit(219, 269)) { // new design: this frame is abandoned unpresented
    acceptClick();
    return false;
  }
  if (buttonHit(273, 323)) // the battle waits for the release itself
    runBattle();

  drawBottomTexts();
  if (splatTimer > 0)
    drawClickMarker();
  // The right button opens the underequip palette without a click marker.
  if (ButtonDown(2) != 0)
    pickUnderequipItem();

  // The carried item follows the pointer, always on top.
  if (carryLayer == 1) {
    std::int32_t y = PointerY();
    DrawPicture(equip, PointerX() - 9, y - 9, carriedItem);
  }
  placeCarriedItem(1, topEquip);
  if (carryLayer == 2) {
    std::int32_t y = PointerY();
    DrawPicture(underequip, PointerX() - 12, y - 12, carriedItem);
  }
  placeCarriedItem(2, topUnder);

  if (TakeKeyHits(kSpace) != 0) {
    drainKey(kSpace);
    repeatPlace += 1;
    if (repeatPlace == 2)
      repeatPlace = 0;
    carryLayer = 0;
    carriedItem = 0;
  }

  Flip(-1);
  throwAwayDraw();
  return true;
}

void runDesignLoop() {
  while (TakeKeyHits(kEscape) == 0)
    if (!designFrame())
      return;
  EndProgram();
}

} // namespace game
