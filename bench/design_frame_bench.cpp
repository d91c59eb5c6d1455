// One whole design frame (headless) with both ships filling a 39 x 24 grid in
// both layers and the pointer over a cell, beside the same frame with its
// lattice walked pixel by pixel, and the headless present alone.
#include <benchmark/benchmark.h>

#include "game/design_screen.h"
#include "game/startup.h"
#include "game/state.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/platform.h"

using namespace game;

namespace {
// The game's own start-up steps up to the design screen, without the loops:
// the real pictures from the art folder beside this program.
void prepareDesignScreen() {
  static bool prepared = false;
  if (prepared)
    return;
  prepared = true;
  StartPlatform();
  OpenDisplay(1024, 768, 32, 60, 0);
  loadPictures();
  createGrids();
  gridColumns = 39;
  gridRows = 24;
  for (int c = 0; c < 39; ++c)
    for (int r = 0; r < 24; ++r)
      for (ShipGrid grid : {topUnder, topEquip, miniUnder, miniEquip}) {
        grid[c][r][kItemSlot] = 1 + (c * 24 + r) % 99;
        grid[c][r][kConditionSlot] = 100 - (c + r) % 3; // some damage for the panel
      }
  // Over cell (7, 5), away from the buttons.
  Headless().MovePointer(200, 150);
  PointerX();
}

// The lattice as the design frame draws it, every line walked pixel by pixel.
void drawLatticeStepwise() {
  for (int r = 0; r <= gridRows; ++r)
    for (int c = 0; c <= gridColumns; ++c) {
      DrawLineStepwise(5, 5 + 25 * r, 5 + 25 * c, 5 + 25 * r, 1);
      DrawLineStepwise(5 + 25 * c, 5, 5 + 25 * c, 5 + 25 * r, 1);
    }
}

void BM_DesignFrame(benchmark::State &state) {
  prepareDesignScreen();
  gridLinesHidden = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(designFrame());
  if (topUnder[38][23][kItemSlot] == 0 || topEquip[38][23][kItemSlot] == 0)
    state.SkipWithError("the ships did not stay in the grid");
}

// The frame before the spans: the frame's work without its lattice, plus the
// lattice through the pixel-by-pixel walk (drawn before the frame's clearing,
// which costs the same as after it).
void BM_DesignFramePlainLattice(benchmark::State &state) {
  prepareDesignScreen();
  for (auto _ : state) {
    gridLinesHidden = 1;
    drawLatticeStepwise();
    benchmark::DoNotOptimize(designFrame());
  }
  gridLinesHidden = 0;
}

// What the headless present adds to every design frame (a copy of the frame).
void BM_HeadlessPresentAlone(benchmark::State &state) {
  prepareDesignScreen();
  for (auto _ : state)
    Flip(-1);
}
} // namespace

BENCHMARK(BM_DesignFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DesignFramePlainLattice)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HeadlessPresentAlone)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
