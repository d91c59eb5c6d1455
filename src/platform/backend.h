// The seam between the platform services and the machine: one window to
// present finished frames into, its input events, and a clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TEventKind {
  KeyDown,     // code: key code 1..255
  KeyRepeat,   // code: key code
  KeyUp,       // code: key code
  Character,   // code: character typed
  ButtonDown,  // code: 1 left, 2 right, 3 middle
  ButtonUp,    // code: button
  PointerMove, // x, y: logical display pixels
  Wheel,       // code: units (120 a step)
  Suspend,     // another program became active
  Resume,      // the game's window became active again
  Close        // the window was asked to close
};

struct TBackendEvent {
  TEventKind kind = TEventKind::KeyDown;
  int code = 0;
  int x = 0;
  int y = 0;
};

class TBackend {
public:
  virtual ~TBackend() = default;

  // The folder that holds the program file; the working directory is set to it.
  virtual std::string ProgramFolder() = 0;

  // Opens the window: full screen when fullScreen, else a desktop window.
  virtual bool OpenWindow(int width, int height, bool fullScreen, int hertz) = 0;
  virtual void CloseWindow() = 0;

  // Shows a finished frame of width x height pixels, 0xAARRGGBB each.
  // inStepWithRefresh asks for the vertical refresh to pace the present.
  virtual void Present(const std::uint32_t *pixels, int width, int height,
                       bool inStepWithRefresh) = 0;

  virtual void MovePointer(int x, int y) = 0;

  // Appends every event that is pending, without waiting.
  virtual void PumpEvents(std::vector<TBackendEvent> &out) = 0;
  // Blocks until an event may be pending or timeoutMs has passed.
  virtual void WaitForEvent(int timeoutMs) = 0;

  virtual std::uint32_t Milliseconds() = 0;
  virtual void SleepMilliseconds(std::uint32_t ms) = 0;
};

// The backend of this program; defined by the backend library it links.
TBackend &Backend();
