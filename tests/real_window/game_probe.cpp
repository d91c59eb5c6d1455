// The real game in the real window, for the window tests: it plays as
// always, and reports what the tests wait for: each frame it presents
// ("presented N"), each event it takes ("took buttondown 1"), and when it
// waits for an event ("waits for input", once until something else happens).
// On SIGUSR1 it also writes the next frame it hands to the window.
#include <csignal>
#include <cstdio>
#include <string>

#include "game/startup.h"
#include "platform/backends/sdl/sdl_backend.h"
#include "platform/png_write.h"

namespace {

volatile std::sig_atomic_t frameWanted = 0;
std::string framePath;
int framesWritten = 0;
long long presents = 0;
bool waitReported = false;

void report(const char *format, auto... values) {
  std::printf(format, values...);
  std::fflush(stdout);
  waitReported = false;
}

void onFrame(const std::uint32_t *pixels, int width, int height) {
  report("presented %lld\n", ++presents);
  if (frameWanted == 0)
    return;
  frameWanted = 0;
  const bool written = WriteFramePng(framePath, pixels, width, height);
  report("frame %d %s\n", ++framesWritten, written ? "written" : "not written");
}

void onEvent(const TBackendEvent &e) {
  switch (e.kind) {
  case TEventKind::KeyDown:
    return report("took keydown %d\n", e.code);
  case TEventKind::KeyUp:
    return report("took keyup %d\n", e.code);
  case TEventKind::ButtonDown:
    return report("took buttondown %d\n", e.code);
  case TEventKind::ButtonUp:
    return report("took buttonup %d\n", e.code);
  case TEventKind::PointerMove:
    return report("took pointer %d %d\n", e.x, e.y);
  case TEventKind::Suspend:
    return report("took %s\n", "suspend");
  case TEventKind::Resume:
    return report("took %s\n", "resume");
  default:
    return; // repeats, characters, the wheel and Close: no test waits for them
  }
}

void onWait() {
  if (!waitReported)
    report("waits for input\n");
  waitReported = true;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: game_probe FRAME.png\n");
    return 2;
  }
  framePath = argv[1];
  std::signal(SIGUSR1, [](int) { frameWanted = 1; });
  SetPresentObserver(onFrame);
  SetEventObserver(onEvent);
  SetWaitObserver(onWait);
  game::startUp();
  return 0;
}
