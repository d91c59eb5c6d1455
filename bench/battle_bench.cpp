// A whole battle between two full 39 x 24 ships over the headless backend,
// from the end click to the message, and the two busy pauses that pace it.
//
// The pauses keep their counts: they are timed on their own in the same run,
// and the battle's time less its pauses gives the work of a shot (drawing
// the lattice and both ships, the shot itself, presenting the player's
// shots). A battle takes about a minute: one iteration a repetition.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "game/battle.h"
#include "game/startup.h"
#include "game/state.h"
#include "game/statistics.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/platform.h"

using namespace game;

namespace {
constexpr std::int32_t kShotPause = 25000, kTurnPause = 1495000;
constexpr std::int32_t kStartState = 123456;

std::vector<std::int32_t> presentStates; // the random state at every present

void openOnce() {
  static bool opened = false;
  if (opened)
    return;
  opened = true;
  THeadlessBackend &backend = Headless();
  backend.SetProgramFolder(DRAYVANE_ART_DIR "/..");
  backend.SetPresentHook([](const std::uint32_t *, int, int, const TPresentRecord &) {
    presentStates.push_back(randomState);
  });
  StartPlatform();
  OpenDisplay(1024, 768, 32, 60, 0);
  loadPictures();
  createGrids();
}

// Both ships fill every cell of both layers: mostly weapons, with armour and
// cargo between them, each under an equip item.
void layOutShips(std::int32_t linesHidden) {
  clearAllGrids();
  gridColumns = 39;
  gridRows = 24;
  for (int c = 0; c < 39; ++c)
    for (int r = 0; r < 24; ++r) {
      for (ShipGrid under : {topUnder, miniUnder}) {
        const int k = (c + r) % 6;
        under[c][r][kItemSlot] = k == 0 ? 95 : k == 3 ? 99 : 96 - 6 * (k % 3);
        under[c][r][kConditionSlot] = 100;
      }
      for (ShipGrid equipGrid : {topEquip, miniEquip}) {
        equipGrid[c][r][kItemSlot] = 1 + (c * 7 + r) % 99;
        equipGrid[c][r][kConditionSlot] = 100;
      }
    }
  shownShip = 0;
  battleView = 0;
  gridLinesHidden = linesHidden;
  messageState = 0;
  credits = 10000000;
  // The design frame's panel works out the price and the cargo before the click.
  drawStatsPanel();
}

long long drawsBetween(std::int32_t from, std::int32_t to) {
  const std::int32_t kept = randomState;
  randomState = from;
  long long n = 0;
  while (randomState != to) {
    RandomInt(0, 0);
    ++n;
  }
  randomState = kept;
  return n;
}

double secondsOf(const std::function<void()> &work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double medianSecondsOfPause(std::int32_t count, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i)
    times.push_back(secondsOf([count] { busyPause(count); }));
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

void BM_BattleOfTwoFullShips(benchmark::State &state) {
  openOnce();
  long long shots = 0, turns = 0;
  double battleSeconds = 0;
  for (auto _ : state) {
    layOutShips(static_cast<std::int32_t>(state.range(0)));
    randomState = kStartState;
    presentStates.clear();
    const double seconds = secondsOf([] { runBattle(); });
    state.SetIterationTime(seconds);
    battleSeconds += seconds;
    // Three draws a shot; between two turns the enemy's shots come between
    // two presents of the player's shots, which are three draws apart.
    shots += drawsBetween(kStartState, randomState) / 3;
    turns += 1;
    for (std::size_t i = 1; i < presentStates.size(); ++i)
      turns += drawsBetween(presentStates[i - 1], presentStates[i]) > 3;
    if (messageState != 2 && messageState != 3)
      state.SkipWithError("the battle did not end");
  }
  // The pauses on their own, just after the battles.
  const double shotPause = medianSecondsOfPause(kShotPause, 201);
  const double turnPause = medianSecondsOfPause(kTurnPause, 41);
  const double pauses =
      static_cast<double>(shots) * shotPause + static_cast<double>(turns) * turnPause;
  const double iterations = static_cast<double>(state.iterations());
  state.counters["shots"] = static_cast<double>(shots) / iterations;
  state.counters["turns"] = static_cast<double>(turns) / iterations;
  state.counters["shots_per_s"] = static_cast<double>(shots) / battleSeconds;
  state.counters["us_per_shot"] = battleSeconds / static_cast<double>(shots) * 1e6;
  state.counters["us_per_shot_without_pauses"] =
      (battleSeconds - pauses) / static_cast<double>(shots) * 1e6;
  state.counters["pause_share"] = pauses / battleSeconds;
}

void BM_BusyPauseAfterAShot(benchmark::State &state) {
  for (auto _ : state)
    busyPause(kShotPause);
}
void BM_BusyPauseBetweenHalves(benchmark::State &state) {
  for (auto _ : state)
    busyPause(kTurnPause);
}
} // namespace

// Argument: 0 the lattice is drawn before every shot, 1 it is hidden.
BENCHMARK(BM_BattleOfTwoFullShips)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BusyPauseAfterAShot)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BusyPauseBetweenHalves)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
