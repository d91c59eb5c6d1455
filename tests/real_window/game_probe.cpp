// The real game in the real window, for the window tests: it plays as
// always, and on SIGUSR1 writes the next frame it hands to the window.
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

void onFrame(const std::uint32_t *pixels, int width, int height) {
  if (frameWanted == 0)
    return;
  frameWanted = 0;
  const bool written = WriteFramePng(framePath, pixels, width, height);
  std::printf("frame %d %s\n", ++framesWritten, written ? "written" : "not written");
  std::fflush(stdout);
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
  game::startUp();
  return 0;
}
