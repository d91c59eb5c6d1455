// drayvane-replay: runs the game over the headless backend from an input
// script, for bug reports, tools and benchmarks.
//
//   drayvane-replay SCRIPT [--frames DIR] [--only N,N,...] [--program-folder DIR]
//   drayvane-replay --startup-figures
//
// SCRIPT is a file in the headless backend's script form ("-" reads standard
// input). --frames writes presented frames as DIR/frame-<frame>.png (all of
// them, or those of --only); the first frame that cannot be written stops the
// tool with one line and status 1. Paths are taken from the folder the tool
// was started in, though the game then works in its program folder. At the
// end the game's state is printed, one "name=value" a line; the exit status
// is the game's (0 Escape, 3 out of input).
// --startup-figures starts the game, and at its first prompt prints the time
// since the program started and the peak memory so far.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/startup.h"
#include "game/state.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/png_write.h"
#include "platform/random.h"
#include "platform/system/system.h"

namespace {
const auto programStart = std::chrono::steady_clock::now();
std::string framesFolder;
std::set<long long> onlyFrames;

// A frame that cannot be written ends the run: every later one would fail too.
void writeFrame(const std::uint32_t *pixels, int w, int h, std::int64_t frame) {
  const std::string name = framesFolder + "/frame-" + std::to_string(frame) + ".png";
  if (WriteFramePng(name, pixels, w, h))
    return;
  std::fprintf(stderr, "drayvane-replay: could not write %s; stopped at frame %lld\n", name.c_str(),
               static_cast<long long>(frame));
  std::fflush(stdout);
  std::_Exit(1);
}

// A path as meant where the tool was started: the game changes the working
// directory to its program folder before the first frame.
std::string fromStartFolder(const std::string &path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

void printState() {
  using namespace game;
  std::printf("peak_kib=%lld\n", static_cast<long long>(PeakMemoryKib()));
  std::printf("credits=%d\ngridColumns=%d\ngridRows=%d\nshownShip=%d\ngridLinesHidden=%d\n"
              "battleView=%d\nmessageState=%d\ncarryLayer=%d\ncarriedItem=%d\nrepeatPlace=%d\n"
              "splatTimer=%d\nrandomState=%d\npresents=%zu\n",
              credits, gridColumns, gridRows, shownShip, gridLinesHidden, battleView, messageState,
              carryLayer, carriedItem, repeatPlace, splatTimer, randomState,
              Headless().presents().size());
  std::fflush(stdout);
}

int usage() {
  std::fprintf(stderr, "usage: drayvane-replay SCRIPT [--frames DIR] [--only N,N,...] "
                       "[--program-folder DIR]\n       drayvane-replay --startup-figures\n");
  return 2;
}
} // namespace

int main(int argc, char **argv) {
  THeadlessBackend &backend = Headless();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--startup-figures") {
    backend.SetScript(*ParseScript("100000 end\n"));
    backend.SetPresentHook([](const std::uint32_t *, int, int, const TPresentRecord &r) {
      if (r.index != 2) // the two opening clears come first
        return;
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - programStart)
              .count();
      std::printf("startup_ms=%.3f\npeak_kib=%lld\n", ms,
                  static_cast<long long>(PeakMemoryKib()));
      std::fflush(stdout);
      std::_Exit(0);
    });
    game::startUp();
    return 1;
  }
  if (args.empty())
    return usage();
  std::string scriptText;
  if (args[0] == "-") {
    std::stringstream s;
    s << std::cin.rdbuf();
    scriptText = s.str();
  } else {
    std::ifstream in(fromStartFolder(args[0]));
    if (!in) {
      std::fprintf(stderr, "drayvane-replay: cannot read %s\n", args[0].c_str());
      return 2;
    }
    std::stringstream s;
    s << in.rdbuf();
    scriptText = s.str();
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--frames" && i + 1 < args.size())
      framesFolder = fromStartFolder(args[++i]);
    else if (args[i] == "--program-folder" && i + 1 < args.size())
      backend.SetProgramFolder(fromStartFolder(args[++i]));
    else if (args[i] == "--only" && i + 1 < args.size()) {
      std::stringstream list(args[++i]);
      for (std::string n; std::getline(list, n, ',');)
        onlyFrames.insert(std::atoll(n.c_str()));
    } else
      return usage();
  }
  std::string error;
  std::optional<TScript> script = ParseScript(scriptText, &error);
  if (!script) {
    std::fprintf(stderr, "drayvane-replay: %s\n", error.c_str());
    return 2;
  }
  backend.SetScript(*script);
  if (!framesFolder.empty())
    backend.SetPresentHook([](const std::uint32_t *pixels, int w, int h, const TPresentRecord &r) {
      if (onlyFrames.empty() || onlyFrames.count(r.frame))
        writeFrame(pixels, w, h, r.frame);
    });
  std::atexit(printState);
  game::startUp();
  return 0;
}
