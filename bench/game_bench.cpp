// The grids' whole-ship operations beside plain element-by-element loops,
// and the cost of starting the game up to its first prompt (headless).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/startup.h"
#include "game/state.h"
#include "platform/backends/headless/headless_backend.h"

using namespace game;

namespace {
void prepareGrids() {
  createGrids();
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder})
    for (int c = 0; c < 40; ++c)
      for (int r = 0; r < 25; ++r) {
        grid[c][r][kItemSlot] = (c * 7 + r) % 100;
        grid[c][r][kConditionSlot] = 100;
      }
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
void BM_ClearAllGrids(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    clearAllGrids();
    benchmark::ClobberMemory();
  }
}
void BM_ClearAllGridsPlainLoop(benchmark::State &state) {
  prepareGrids();
  for (auto _ : state) {
    plainClear();
    benchmark::ClobberMemory();
  }
}

// Start-up runs once per process, so each iteration starts the game in a
// child that reports, at its first prompt, the time it took and its peak memory.
struct TStartupFigures {
  double ms;
  long peakKiB;
};

TStartupFigures startOnce() {
  int fds[2];
  if (pipe(fds) != 0)
    std::abort();
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    static int out = fds[1];
    static auto began = std::chrono::steady_clock::now();
    began = std::chrono::steady_clock::now();
    THeadlessBackend &backend = Headless();
    backend.Reset();
    backend.SetScript(*ParseScript("100000 end\n"));
    backend.SetPresentHook([](const std::uint32_t *, int, int, const TPresentRecord &r) {
      if (r.index == 2) { // the two opening clears, then the first prompt
        TStartupFigures f{};
        f.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                   .count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        f.peakKiB = usage.ru_maxrss;
        if (write(out, &f, sizeof f) != sizeof f)
          _exit(2);
        _exit(0);
      }
    });
    startUp();
    _exit(1);
  }
  close(fds[1]);
  TStartupFigures f{};
  if (read(fds[0], &f, sizeof f) != sizeof f)
    f.ms = -1;
  close(fds[0]);
  waitpid(pid, nullptr, 0);
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

BENCHMARK(BM_ExchangeShips)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExchangeShipsPlainLoop)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearAllGrids)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearAllGridsPlainLoop)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartUpToFirstPrompt)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
