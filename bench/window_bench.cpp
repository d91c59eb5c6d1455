// The game in a real window on the X display in DISPLAY (bench/run_window_bench.sh
// starts a private Xvfb): how soon the first prompt shows after launch, and
// the processor time of the idle design screen against a bare SDL2 loop
// presenting a static frame (bare_present_loop), one after the other under
// the same X server. Needs xdotool; the game and the loop are beside it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/screen_fit.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string besideMe(const char *name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

pid_t launch(const std::string &program, const std::vector<std::string> &args = {}) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0)
    return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Processor seconds a process has used so far (user and system).
double cpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos)
    return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15)
      ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Whether anything but black shows in the top rows of the frame, where the
// game's prompts are drawn, wherever the frame lies on this screen.
bool promptShows(Display *display) {
  const int screen = DefaultScreen(display);
  const TScreenFit fit =
      FitFrame(1024, 768, DisplayWidth(display, screen), DisplayHeight(display, screen));
  const int rows = fit.ScreenY(40) - fit.y;
  XImage *image =
      XGetImage(display, DefaultRootWindow(display), fit.x, fit.y, static_cast<unsigned>(fit.w),
                static_cast<unsigned>(rows), AllPlanes, ZPixmap);
  if (image == nullptr)
    return false;
  bool lit = false;
  for (int y = 0; y < rows && !lit; ++y)
    for (int x = 0; x < fit.w && !lit; ++x)
      lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
  XDestroyImage(image);
  return lit;
}

// From launch to the first prompt on the screen, one launch an iteration.
void BM_FirstPromptAfterLaunch(benchmark::State &state) {
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no X display: run through bench/run_window_bench.sh\n");
    std::exit(1); // a skipped repetition would upset the statistics
  }
  const std::string game = besideMe("drayvane31");
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    const pid_t pid = launch(game);
    bool shown = false;
    while (!shown && Clock::now() - start < std::chrono::seconds(5)) {
      shown = promptShows(display);
      if (!shown)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    stop(pid);
    if (!shown)
      std::fprintf(stderr, "the prompt never showed within 5 s\n");
    state.SetIterationTime(seconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the screen goes back to black
  }
  XCloseDisplay(display);
}
BENCHMARK(BM_FirstPromptAfterLaunch)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Processor time per second of wall time of a program left alone for a while.
double idleShare(pid_t pid, double seconds) {
  const double before = cpuSeconds(pid);
  const Clock::time_point start = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  return (cpuSeconds(pid) - before) / wall;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The X server's process, for its share of the presenting.
pid_t xServerPid() {
  const char *pid = std::getenv("DRAYVANE_XSERVER_PID");
  return pid != nullptr ? static_cast<pid_t>(std::atoi(pid)) : 0;
}

// Arguments: grid columns and rows (typed at the prompts). Rounds
// alternate: the bare loop, then the game, each left alone for 3 s.
void BM_IdleDesignScreenAgainstBareLoop(benchmark::State &state) {
  const pid_t server = xServerPid();
  const std::string columns = std::to_string(state.range(0)), rows = std::to_string(state.range(1));
  const std::string keys = "xdotool key --delay 100 " + std::string(1, columns[0]) + " " +
                           columns[1] + " " + rows[0] + " " + rows[1] + " >/dev/null 2>&1";
  std::vector<double> bare, game, serverBare, serverGame;
  for (auto _ : state) {
    const pid_t loop = launch(besideMe("bare_present_loop"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double serverBefore = cpuSeconds(server);
    bare.push_back(idleShare(loop, 3));
    serverBare.push_back((cpuSeconds(server) - serverBefore) / 3);
    stop(loop);

    const pid_t pid = launch(besideMe("drayvane31"));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    if (std::system(keys.c_str()) != 0) {
      stop(pid);
      state.SkipWithError("xdotool failed");
      break;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double serverBefore2 = cpuSeconds(server);
    game.push_back(idleShare(pid, 3));
    serverGame.push_back((cpuSeconds(server) - serverBefore2) / 3);
    stop(pid);
  }
  if (game.empty())
    return;
  state.counters["bare_cpu_pct"] = 100 * median(bare);
  state.counters["game_cpu_pct"] = 100 * median(game);
  state.counters["ratio"] = median(game) / median(bare);
  state.counters["bare_x_pct"] = 100 * median(serverBare);
  state.counters["game_x_pct"] = 100 * median(serverGame);
  state.counters["ratio_with_x"] =
      (median(game) + median(serverGame)) / (median(bare) + median(serverBare));
}
BENCHMARK(BM_IdleDesignScreenAgainstBareLoop)
    ->ArgNames({"columns", "rows"})
    ->Args({10, 10})
    ->Args({39, 24})
    ->Iterations(5)
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
