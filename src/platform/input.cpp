// Polled keyboard and mouse state, fed by the backend's events.
#include "input.h"

#include <cstring>
#include <vector>

namespace {
TInputState state;
bool enabled = false;
bool polling = false;

void clearKeyState() {
  std::memset(state.keyStates, 0, sizeof state.keyStates);
  std::memset(state.keyHits, 0, sizeof state.keyHits);
  state.typedCount = 0;
}

void clearButtonState() {
  std::memset(state.buttonStates, 0, sizeof state.buttonStates);
  std::memset(state.buttonHits, 0, sizeof state.buttonHits);
  state.wheel = 0;
}

std::int32_t signed16(int v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

bool validKey(int key) {
  return key >= 0 && key <= 255;
}
bool validButton(int button) {
  return button >= 0 && button <= 3;
}
} // namespace

TInputState &InputState() {
  return state;
}

void EnableInput() {
  clearKeyState();
  clearButtonState();
  enabled = true;
}

void DisableInput() {
  enabled = false;
  clearKeyState();
  clearButtonState();
}

bool InputEnabled() {
  return enabled;
}

void ApplyInputEvent(const TBackendEvent &e) {
  switch (e.kind) {
  case TEventKind::KeyDown:
    if (e.code >= 1 && e.code <= 255 && state.keyStates[e.code] == 0) {
      state.keyStates[e.code] = 1;
      state.keyHits[e.code] += 1;
    }
    break;
  case TEventKind::KeyRepeat:
    break;
  case TEventKind::KeyUp:
    if (e.code >= 1 && e.code <= 255)
      state.keyStates[e.code] = 0;
    break;
  case TEventKind::Character:
    if (state.typedCount < 256)
      state.typedChars[state.typedCount++] = e.code;
    break;
  case TEventKind::ButtonDown:
    if (e.code >= 1 && e.code <= 3 && state.buttonStates[e.code] == 0) {
      state.buttonStates[e.code] = 1;
      state.buttonHits[e.code] += 1;
    }
    break;
  case TEventKind::ButtonUp:
    if (e.code >= 1 && e.code <= 3)
      state.buttonStates[e.code] = 0;
    break;
  case TEventKind::PointerMove:
    state.pointerX = signed16(e.x);
    state.pointerY = signed16(e.y);
    break;
  case TEventKind::Wheel:
    state.wheel += e.code / 120;
    break;
  case TEventKind::Suspend:
    clearKeyState();
    clearButtonState();
    state.appSuspended = 1;
    break;
  case TEventKind::Resume:
    clearKeyState();
    clearButtonState();
    state.appSuspended = 0;
    break;
  case TEventKind::Close:
    state.closeRequested = 1;
    break;
  }
}

void PollEvents() {
  if (polling)
    return; // an event's handling asked again: the outer poll goes on
  polling = true;
  std::vector<TBackendEvent> events;
  Backend().PumpEvents(events);
  if (enabled)
    for (const TBackendEvent &e : events)
      ApplyInputEvent(e);
  polling = false;
}

int TakeKeyHits(int key) {
  PollEvents();
  if (!validKey(key))
    return 0;
  int hits = state.keyHits[key];
  state.keyHits[key] = 0;
  return hits;
}

void ClearKeys() {
  PollEvents();
  clearKeyState();
}

int ButtonDown(int button) {
  PollEvents();
  return validButton(button) ? state.buttonStates[button] : 0;
}

int PointerX() {
  PollEvents();
  return state.pointerX;
}

int PointerY() {
  PollEvents();
  return state.pointerY;
}

void ClearButtons() {
  PollEvents();
  clearButtonState();
}

void drainKey(int key) {
  while (TakeKeyHits(key) != 0)
    Backend().WaitForEvent(1);
}

void waitForRelease() {
  while (ButtonDown(1) != 0)
    Backend().WaitForEvent(1);
}
