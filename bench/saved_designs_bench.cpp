// Saving and loading a slot file, through to the disk, beside the same file
// written and read one integer at a time through the stream operations.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "game/saved_designs.h"
#include "game/state.h"
#include "platform/platform.h"

using namespace game;
namespace fs = std::filesystem;

namespace {
// The slot files go to a folder of their own in the build tree: a real disk,
// so the flush to the disk costs what it costs for the player.
class TBenchFolder {
public:
  TBenchFolder() {
    std::string name = std::string(DRAYVANE_BENCH_DIR) + "/slots-XXXXXX";
    if (!mkdtemp(name.data()))
      std::abort();
    folder = name;
    fs::create_directory(folder / "IronholdArt");
    fs::current_path(folder);
  }
  ~TBenchFolder() {
    std::error_code ignored;
    fs::current_path(DRAYVANE_BENCH_DIR, ignored);
    fs::remove_all(folder, ignored);
  }

private:
  fs::path folder;
};

void prepareDesign() {
  static TBenchFolder folder;
  createGrids();
  for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
    for (int c = 0; c < kGridSize; ++c)
      for (int r = 0; r < kGridSize; ++r)
        for (int k = 0; k < 10; ++k)
          grid[c][r][k] = (c * 7 + r + k) % 100;
  shownShip = 0;
  gridColumns = 39;
  gridRows = 24;
  saveDesign(1);
}

template <typename TVisit> void inFileOrder(TVisit visit) {
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < 10; ++k)
        for (ShipGrid grid : {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder})
          visit(grid[c][r][k]);
  visit(shownShip);
  visit(gridColumns);
  visit(gridRows);
}

// The same file through the same temporary file, disk flush and rename, one
// WriteInt per integer.
void saveOneIntegerAtATime() {
  int stream = OpenForReplacing(u".\\IronholdArt\\saved2.sdx");
  inFileOrder([stream](std::int32_t &value) { WriteInt(stream, value); });
  Flush(stream);
  Commit(stream);
  Close(stream);
}

void loadOneIntegerAtATime() {
  int stream = OpenForReading(u".\\IronholdArt\\saved1.sdx");
  inFileOrder([stream](std::int32_t &value) { value = ReadInt(stream); });
  Close(stream);
  credits = 5000;
}

void BM_SaveDesign(benchmark::State &state) {
  prepareDesign();
  for (auto _ : state)
    saveDesign(2);
}
void BM_SaveDesignOneIntegerAtATime(benchmark::State &state) {
  prepareDesign();
  for (auto _ : state)
    saveOneIntegerAtATime();
}
void BM_LoadDesign(benchmark::State &state) {
  prepareDesign();
  for (auto _ : state) {
    loadDesign(1);
    benchmark::ClobberMemory();
  }
}
void BM_LoadDesignOneIntegerAtATime(benchmark::State &state) {
  prepareDesign();
  for (auto _ : state) {
    loadOneIntegerAtATime();
    benchmark::ClobberMemory();
  }
}
} // namespace

BENCHMARK(BM_SaveDesign)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveDesignOneIntegerAtATime)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadDesign)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadDesignOneIntegerAtATime)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
