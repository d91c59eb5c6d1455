// The headless backend: frames go to memory, input comes from a script, and
// time is game time (a 60th of a second a frame), so every run is repeatable.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "script.h"

// Exit status of a run whose script has run out.
constexpr int kOutOfInputStatus = 3;
// Polls without a present that count as one frame of game time. A design
// frame polls a few hundred times (the hovered cell alone asks the pointer
// about a hundred times), so a frame that presents never runs into the next.
constexpr int kPollsPerFrame = 1000;

struct TPresentRecord {
  std::int64_t index = 0; // 0 for the first present
  bool inStepWithRefresh = false;
  std::uint32_t atMs = 0; // the clock when presented
  std::int64_t frame = 0; // the script's frame when presented
};

class THeadlessBackend : public TBackend {
public:
  // Back to a fresh backend: no window, no script, clock at 0, nothing recorded.
  void Reset();
  // Without a script the run never runs out of input.
  void SetScript(TScript script);
  void SetProgramFolder(std::string folder) { programFolder = std::move(folder); }
  // Called with every presented frame.
  void SetPresentHook(
      std::function<void(const std::uint32_t *, int, int, const TPresentRecord &)> hook) {
    presentHook = std::move(hook);
  }
  // Called when the script runs out; the default ends the run with kOutOfInputStatus.
  void SetOutOfInputHook(std::function<void()> hook) { outOfInputHook = std::move(hook); }

  // A clock that moves only by sleeps and AdvanceClock, for pacing tests;
  // otherwise the clock follows game time (a 60th of a second a frame).
  void UseManualClock(bool manual) { manualClock = manual; }
  void AdvanceClock(std::uint32_t ms) { manualMs += ms; }

  bool windowOpen() const { return open; }
  bool windowFullScreen() const { return fullScreen; }
  int windowHertz() const { return hertz; }
  const std::vector<TPresentRecord> &presents() const { return presentLog; }
  const std::vector<std::uint32_t> &sleeps() const { return sleepLog; }
  const std::vector<std::pair<int, int>> &pointerMoves() const { return moveLog; }
  const std::vector<std::uint32_t> &lastPresentedFrame() const { return lastFrame; }
  std::int64_t frame() const { return ticks / kPollsPerFrame; }

  std::string ProgramFolder() override;
  bool OpenWindow(int width, int height, bool fullScreen, int hertz) override;
  void CloseWindow() override;
  void Present(const std::uint32_t *pixels, int width, int height, bool inStepWithRefresh) override;
  void MovePointer(int x, int y) override;
  void PumpEvents(std::vector<TBackendEvent> &out) override;
  void WaitForEvent(int) override {}
  std::uint32_t Milliseconds() override;
  void SleepMilliseconds(std::uint32_t ms) override;

private:
  void checkOutOfInput();

  std::optional<TScript> script;
  std::size_t nextEvent = 0;
  std::int64_t ticks = 0; // 1/kPollsPerFrame of a frame each
  std::uint64_t sleptMs = 0;
  bool manualClock = false;
  std::uint64_t manualMs = 0;
  std::string programFolder;
  bool open = false;
  bool fullScreen = false;
  int hertz = 0;
  std::vector<TBackendEvent> immediate; // the pointer moves the display asks for
  std::vector<TPresentRecord> presentLog;
  std::vector<std::uint32_t> sleepLog;
  std::vector<std::pair<int, int>> moveLog;
  std::vector<std::uint32_t> lastFrame;
  std::function<void(const std::uint32_t *, int, int, const TPresentRecord &)> presentHook;
  std::function<void()> outOfInputHook;
};

THeadlessBackend &Headless();
