// The grids' whole-ship operations beside plain element-by-element loops,
// and the cost of starting the game up to its first prompt (headless).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

#include "game/state.h"

using namespace game;

namespace {
// Every element written, so every page of every grid is in memory: the
// exchange's worst case (a fresh game leaves most pages untouched).
void prepareGrids() {
  createGrids();
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
    for (int c = 0; c < kGridSize; ++c)
      for (int r = 0; r < kGridSize; ++r)
        for (int k = 0; k < kGridSize; ++k)
          grid[c][r][k] = (c * 7 + r + k) % 100;
}

// The exchange as six assignments per element, in column, row, slot order.
void plainExchange() {
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kGridSize; ++k) {
        swapEquip[c][r][k] = topEquip[c][r][k];
        swapUnder[c][r][k] = topUnder[c][r][k];
        topEquip[c][r][k] = miniEquip[c][r][k];
        topUnder[c][r][k] = miniUnder[c][r][k];
        miniEquip[c][r][k] = swapEquip[c][r][k];
        miniUnder[c][r][k] = swapUnder[c][r][k];
      }
  shownShip = shownShip + 1 == 2 ? 0 : shownShip + 1;
}

void plainClear() {
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kGridSize; ++k) {
        topEquip[c][r][k] = 0;
        topUnder[c][r][k] = 0;
        miniEquip[c][r][k] = 0;
        miniUnder[c][r][k] = 0;
        swapEquip[c][r][k] = 0;
        swapUnder[c][r][k] = 0;
      }
}

void BM_ExchangeShips(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    exchangeShips();
    benchmark::ClobberMemory();
  }
}
void BM_ExchangeShipsPlainLoop(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    plainExchange();
    benchmark::ClobberMemory();
  }
}
// Clearing after every page of the grids has been written to.
void dirtyEveryPage() {
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
    for (int i = 0; i < 1000000; i += 1024)
      (&grid[0][0][0])[i] = i;
}
void BM_ClearAllGrids(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    state.PauseTiming();
    dirtyEveryPage();
    state.ResumeTiming();
    clearAllGrids();
    benchmark::ClobberMemory();
  }
}
void BM_ClearAllGridsPlainLoop(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    state.PauseTiming();
    dirtyEveryPage();
    state.ResumeTiming();
    plainClear();
    benchmark::ClobberMemory();
  }
}

// The first exchange of a new design: the grids were just cleared and a
// 39 x 24 ship placed, so the copy brings the swap pair's pages back.
void BM_ExchangeShipsAfterClearing(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    state.PauseTiming();
    clearAllGrids();
    for (int c = 0; c < 39; ++c)
      for (int r = 0; r < 24; ++r) {
        topUnder[c][r][kItemSlot] = 1 + (c + r) % 99;
        topUnder[c][r][kConditionSlot] = 100;
      }
    state.ResumeTiming();
    exchangeShips();
    benchmark::ClobberMemory();
  }
}

// Start-up runs once per process: each iteration starts the headless driver,
// which reports at the game's first prompt the time since its program
// started and its peak memory.
struct TStartupFigures {
  double ms = -1;
  long peakKiB = 0;
};

TStartupFigures startOnce() {
  TStartupFigures f;
  FILE *child = popen(DRAYVANE_REPLAY " --startup-figures", "r");
  if (!child)
    return f;
  char line[128];
  while (std::fgets(line, sizeof line, child)) {
    std::sscanf(line, "startup_ms=%lf", &f.ms);
    std::sscanf(line, "peak_kib=%ld", &f.peakKiB);
  }
  pclose(child);
  return f;
}

void BM_StartUpToFirstPrompt(benchmark::State &state) {
  long peak = 0;
  for (auto _ : state) {
    TStartupFigures f = startOnce();
    if (f.ms < 0) {
      state.SkipWithError("the game did not reach its first prompt");
      return;
    }
    state.SetIterationTime(f.ms / 1000.0);
    peak = std::max(peak, f.peakKiB);
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
}
} // namespace

BENCHMARK(BM_ExchangeShips)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExchangeShipsPlainLoop)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExchangeShipsAfterClearing)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearAllGrids)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearAllGridsPlainLoop)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartUpToFirstPrompt)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
