// Runs the real game in a child process over the headless backend: a script
// in; the exit status, the presented frames and a report of the state out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct TSessionOptions {
  std::string script;        // the input script (see the headless backend's script.h)
  std::string programFolder; // where the art folder is looked for; default: the build's bin
  // The frames (in script frames) whose presented pixels come back; -1 the
  // last presented frame. A frame presented twice keeps its last present.
  std::vector<std::int64_t> keepFrames = {-1};
  // Runs in the child before the game starts (e.g. to change the working folder).
  std::function<void()> beforeStart;
  // Runs in the child when the game ends, whatever the reason; its text comes back.
  std::function<std::string()> atEnd;
  // Runs in the child after every present, with the present's index.
  std::function<void(std::int64_t)> onPresent;
  // What the child runs instead of the game's own entry (for platform-level sessions).
  std::function<void()> entry;
};

struct TPresentInfo {
  std::int64_t index = 0;
  bool inStepWithRefresh = false;
  std::uint32_t atMs = 0;
  std::int64_t frame = 0;
  std::uint64_t hash = 0; // of the frame's colours
};

struct TSessionResult {
  bool exited = false; // false: killed by a signal
  int exitStatus = -1; // 0 Escape; 3 the script ran out; 255 a stream error
  int signal = 0;
  std::string standardError;
  std::string report; // what atEnd returned
  std::vector<TPresentInfo> presents;
  std::vector<std::uint32_t> sleeps;
  std::map<std::int64_t, std::vector<std::uint32_t>> frames; // by script frame; -1 the last
};

TSessionResult RunSession(const TSessionOptions &options);

// FNV-1a 64 over the red, green and blue bytes of each pixel.
std::uint64_t FrameHash(const std::uint32_t *pixels, std::size_t count);

// The colour of one pixel of a 1024-wide frame, 0xRRGGBB.
inline std::uint32_t PixelAt(const std::vector<std::uint32_t> &frame, int x, int y) {
  return frame.at(static_cast<std::size_t>(y) * 1024 + x) & 0xFFFFFF;
}
