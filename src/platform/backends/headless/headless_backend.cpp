// The headless backend: presented frames to memory, scripted input, game time.
#include "headless_backend.h"

#include <cstdlib>

#include "platform/system/system.h"

THeadlessBackend &Headless() {
  static THeadlessBackend backend;
  return backend;
}

TBackend &Backend() {
  return Headless();
}

void THeadlessBackend::Reset() {
  script.reset();
  nextEvent = 0;
  ticks = 0;
  sleptMs = 0;
  manualClock = false;
  manualMs = 0;
  open = false;
  fullScreen = false;
  hertz = 0;
  immediate.clear();
  presentLog.clear();
  sleepLog.clear();
  moveLog.clear();
  lastFrame.clear();
  presentHook = nullptr;
  outOfInputHook = nullptr;
}

void THeadlessBackend::SetScript(TScript s) {
  script = std::move(s);
  nextEvent = 0;
}

std::string THeadlessBackend::ProgramFolder() {
  if (!programFolder.empty())
    return programFolder;
  return RunningProgramFolder();
}

bool THeadlessBackend::OpenWindow(int, int, bool full, int hz) {
  open = true;
  fullScreen = full;
  hertz = hz;
  return true;
}

void THeadlessBackend::CloseWindow() {
  open = false;
}

void THeadlessBackend::Present(const std::uint32_t *pixels, int width, int height,
                               bool inStepWithRefresh) {
  TPresentRecord record;
  record.index = static_cast<std::int64_t>(presentLog.size());
  record.inStepWithRefresh = inStepWithRefresh;
  record.atMs = Milliseconds();
  record.frame = frame();
  presentLog.push_back(record);
  lastFrame.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  if (presentHook)
    presentHook(pixels, width, height, record);
  // A present ends the frame: game time moves to the start of the next one.
  ticks = (ticks / kPollsPerFrame + 1) * kPollsPerFrame;
  checkOutOfInput();
}

void THeadlessBackend::MovePointer(int x, int y) {
  moveLog.emplace_back(x, y);
  immediate.push_back(TBackendEvent{TEventKind::PointerMove, 0, x, y});
}

void THeadlessBackend::PumpEvents(std::vector<TBackendEvent> &out) {
  ++ticks;
  out.insert(out.end(), immediate.begin(), immediate.end());
  immediate.clear();
  if (script) {
    const std::int64_t now = frame();
    while (nextEvent < script->events.size() && script->events[nextEvent].frame <= now)
      out.push_back(script->events[nextEvent++].event);
  }
  checkOutOfInput();
}

std::uint32_t THeadlessBackend::Milliseconds() {
  if (manualClock)
    return static_cast<std::uint32_t>(manualMs + sleptMs);
  return static_cast<std::uint32_t>(ticks * 1000 / (60 * kPollsPerFrame) + sleptMs);
}

void THeadlessBackend::SleepMilliseconds(std::uint32_t ms) {
  sleepLog.push_back(ms);
  sleptMs += ms;
}

void THeadlessBackend::checkOutOfInput() {
  if (!script || frame() < script->endFrame)
    return;
  if (outOfInputHook)
    outOfInputHook();
  else
    std::exit(kOutOfInputStatus);
}
