// Design-screen sessions for the game's tests: a 12 x 10 set-up from
// start-up, ship cells set between frames, and frames drawn alone to compare.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/session.h"

// Columns 1 then 2, rows 1 then 0: a 12 x 10 grid, the pointer at (300, 200);
// the design screen's first frame is this script frame.
constexpr int kFirstDesignFrame = 10;
extern const char *const kSetup12x10Script;

struct TCellSetting {
  enum TGrid { TopUnder, TopEquip, MiniUnder, MiniEquip } grid;
  int column, row;
  std::int32_t item, condition;
};

// Writes the cells into the game's grids (call in the session's child).
void SetCells(const std::vector<TCellSetting> &cells);

// Runs the 12 x 10 set-up, then events; the cells are set right after the
// first design frame is presented, so frame kFirstDesignFrame + 1 draws them.
TSessionResult RunDesignSession(const std::string &events, const std::vector<TCellSetting> &cells,
                                TSessionOptions options = {});

// A cleared frame with only what draw() puts on it, drawn in a fresh child
// with the game's pictures loaded.
std::vector<std::uint32_t> DrawnAlone(std::function<void()> draw);

// The first pixel where two 1024-wide frames differ in [left, right) x [top, bottom), or "".
std::string FirstDifferenceIn(const std::vector<std::uint32_t> &a,
                              const std::vector<std::uint32_t> &b, int left, int top, int right,
                              int bottom);
