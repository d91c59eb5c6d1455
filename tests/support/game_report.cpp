// The game-state report of headless sessions.
#include "game_report.h"

#include <sstream>

#include "game/state.h"
#include "platform/random.h"

std::string GameStateReport() {
  using namespace game;
  std::ostringstream out;
  auto put = [&](const char *name, long long v) { out << name << '=' << v << '\n'; };
  put("credits", credits);
  put("gridColumns", gridColumns);
  put("gridRows", gridRows);
  put("shownShip", shownShip);
  put("gridLinesHidden", gridLinesHidden);
  put("battleView", battleView);
  put("messageState", messageState);
  put("carryLayer", carryLayer);
  put("carriedItem", carriedItem);
  put("repeatPlace", repeatPlace);
  put("splatTimer", splatTimer);
  put("hoverColumn", hoverColumn);
  put("hoverRow", hoverRow);
  put("topPointsValue", topPointsValue);
  put("topTotalDamage", topTotalDamage);
  put("topFirepower", topFirepower);
  put("topShots", topShots);
  put("cargo", cargo);
  put("creditsAtStart", creditsAtStart);
  put("discardedRoll", discardedRoll);
  put("randomState", randomState);
  long long filled = 0;
  if (topEquip)
    for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
      for (int c = 0; c < kGridSize; ++c)
        for (int r = 0; r < kGridSize; ++r)
          for (int k = 0; k < kGridSize; ++k)
            filled += grid[c][r][k] != 0;
  put("nonZeroGridElements", filled);
  return out.str();
}

TReport::TReport(const std::string &text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    auto eq = line.find('=');
    if (eq != std::string::npos)
      values[line.substr(0, eq)] = std::stoll(line.substr(eq + 1));
  }
}

long long TReport::operator[](const std::string &name) const {
  auto it = values.find(name);
  return it == values.end() ? -999999 : it->second;
}
