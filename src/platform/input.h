// Polled keyboard and mouse: every query first takes in the pending events.
#pragma once

#include <cstdint>

#include "backend.h"

struct TInputState {
  std::int32_t keyStates[256] = {};
  std::int32_t keyHits[256] = {};
  std::int32_t typedChars[256] = {};
  std::int32_t typedCount = 0;
  std::int32_t buttonStates[4] = {};
  std::int32_t buttonHits[4] = {};
  std::int32_t pointerX = 0;
  std::int32_t pointerY = 0;
  std::int32_t wheel = 0;
  std::int32_t appSuspended = 0;
  std::int32_t closeRequested = 0;
};

TInputState &InputState();

// Opening the display starts recording; closing it stops and clears.
void EnableInput();
void DisableInput();
bool InputEnabled();

void PollEvents();
int TakeKeyHits(int key);
void ClearKeys();
int ButtonDown(int button);
int PointerX();
int PointerY();
void ClearButtons();

// Swallows further presses of a key that has just reported one.
void drainKey(int key);
// Waits until mouse button 1 is up.
void waitForRelease();

// Applies one event to the state (the backends' events all come through here).
void ApplyInputEvent(const TBackendEvent &event);
