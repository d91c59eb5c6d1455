// Design-screen sessions: the set-up script, cells set between frames, frames drawn alone.
#include "design_session.h"

#include <sstream>

#include "game/startup.h"
#include "game/state.h"
#include "platform/platform.h"
#include "support/game_report.h"

const char *const kSetup12x10Script = "0 move 300 200\n"
                                      "4 tap 1\n"
                                      "6 tap 2\n"
                                      "8 tap 1\n"
                                      "10 tap 0\n";

void SetCells(const std::vector<TCellSetting> &cells) {
  using namespace game;
  for (const TCellSetting &s : cells) {
    ShipGrid grid = s.grid == TCellSetting::TopUnder    ? topUnder
                    : s.grid == TCellSetting::TopEquip  ? topEquip
                    : s.grid == TCellSetting::MiniUnder ? miniUnder
                                                        : miniEquip;
    grid[s.column][s.row][kItemSlot] = s.item;
    grid[s.column][s.row][kConditionSlot] = s.condition;
  }
}

TSessionResult RunDesignSession(const std::string &events, const std::vector<TCellSetting> &cells,
                                TSessionOptions options) {
  options.script = std::string(kSetup12x10Script) + events;
  if (!options.atEnd)
    options.atEnd = GameStateReport;
  std::function<void(std::int64_t)> more = options.onPresent;
  options.onPresent = [cells, more](std::int64_t index) {
    if (index == kFirstDesignFrame)
      SetCells(cells);
    if (more)
      more(index);
  };
  return RunSession(options);
}

std::vector<std::uint32_t> DrawnAlone(std::function<void()> draw) {
  TSessionOptions options;
  options.script = "100 end\n";
  options.entry = [draw] {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    game::loadPictures();
    Cls();
    draw();
    Flip(-1);
  };
  return RunSession(options).frames.at(-1);
}

std::string FirstDifferenceIn(const std::vector<std::uint32_t> &a,
                              const std::vector<std::uint32_t> &b, int left, int top, int right,
                              int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) {
        std::ostringstream at;
        at << '(' << x << ", " << y << ')';
        return at.str();
      }
  return "";
}
