// The grid-size prompts: two digit keys for the columns, two for the rows.
#include "setup.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

namespace {
constexpr int kEscape = 27;
const TText kColumnsPrompt = u"ENTER Number of Colums (Max=39)(min=10) ";
const TText kColumnsTaken = u"Number of Colums (Max=39)(min=10) ";
const TText kRowsPrompt = u"ENTER Number of Rows (Max=24)(min=10) ";

// Units keys are asked 1 to 9, then 0: the last one pressed in this order wins.
std::int32_t takeUnits(std::int32_t units) {
  for (int digit = 1; digit <= 9; ++digit)
    if (TakeKeyHits('0' + digit) != 0)
      units = digit;
  if (TakeKeyHits('0') != 0)
    units = 0;
  return units;
}
} // namespace

void runGridSetup() {
  clearAllGrids();
  creditsAtStart = 0;
  messageState = 0;

  std::int32_t tens = 0;
  while (TakeKeyHits(kEscape) == 0) {
    Cls();
    DrawString(kColumnsPrompt, 10, 10);
    if (TakeKeyHits('1') != 0)
      tens = 10;
    if (TakeKeyHits('2') != 0)
      tens = 20;
    if (TakeKeyHits('3') != 0)
      tens = 30;
    if (tens > 0)
      break; // the frame that took the digit is not presented
    Flip(-1);
  }

  std::int32_t units = 110; // 100 or more: no digit taken yet
  while (TakeKeyHits(kEscape) == 0) {
    Cls();
    DrawString(kColumnsPrompt + DecimalText(tens / 10), 10, 10);
    units = takeUnits(units);
    if (units < 100)
      break;
    Flip(-1);
  }
  gridColumns = tens + units;
  if (gridColumns > 39)
    gridColumns = 39;

  tens = 0;
  while (TakeKeyHits(kEscape) == 0) {
    Cls();
    DrawString(kColumnsTaken + DecimalText(gridColumns), 10, 10);
    DrawString(kRowsPrompt, 10, 30);
    // Here tens keys pressed in the same frame add up.
    if (TakeKeyHits('1') != 0)
      tens += 10;
    if (TakeKeyHits('2') != 0)
      tens += 20;
    if (TakeKeyHits('3') != 0)
      tens += 30;
    if (tens > 0)
      break;
    Flip(-1);
  }

  units = 110;
  while (TakeKeyHits(kEscape) == 0) {
    Cls();
    DrawString(kRowsPrompt + DecimalText(tens / 10), 10, 30);
    DrawString(kColumnsTaken + DecimalText(gridColumns), 10, 10);
    units = takeUnits(units);
    if (units < 100)
      break;
    Flip(-1);
  }
  gridRows = tens + units;
  if (gridRows > 24)
    gridRows = 24;

  battleView = 0;
}

} // namespace game
