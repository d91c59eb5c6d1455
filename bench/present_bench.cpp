// The cost of handing one finished 1024 x 768 frame to the real window:
// texture upload, copy and present, without waiting for the refresh.
// Needs a display: run it under Xvfb (DISPLAY and SDL_VIDEODRIVER=x11).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/backend.h"

namespace {

bool haveDisplay() {
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
    const char *value = std::getenv(name);
    if (value != nullptr && value[0] != '\0')
      return true;
  }
  return false;
}

void BM_PresentFrame(benchmark::State &state) {
  if (!haveDisplay()) {
    state.SkipWithError("no display: run under Xvfb");
    return;
  }
  static const bool opened = Backend().OpenWindow(1024, 768, true, 60);
  if (!opened) {
    state.SkipWithError("the window did not open");
    return;
  }
  std::vector<std::uint32_t> frame(1024 * 768, 0xFF000000u);
  std::vector<TBackendEvent> events;
  std::uint32_t shade = 0;
  for (auto _ : state) {
    // A different frame each time, so nothing can be skipped as unchanged.
    frame[(shade * 4099) % frame.size()] = 0xFF000000u | (shade & 0xFFFFFFu);
    ++shade;
    Backend().Present(frame.data(), 1024, 768, false);
    events.clear();
    Backend().PumpEvents(events);
  }
}
BENCHMARK(BM_PresentFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
