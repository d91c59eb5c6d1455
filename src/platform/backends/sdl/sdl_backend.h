// What the real window offers beyond the backend seam, for the window tests:
// a look at every frame handed to it and at the game taking its input.
#pragma once

#include <cstdint>

#include "platform/backend.h"

using TPresentObserver = void (*)(const std::uint32_t *pixels, int width, int height);
void SetPresentObserver(TPresentObserver observer);

// Every event the game takes from the window, as it takes it.
using TEventObserver = void (*)(const TBackendEvent &event);
void SetEventObserver(TEventObserver observer);

// The game waits for an event: it holds on to a press until the button is let
// go, or drains a key's hits. Called on each wait, many times a second.
using TWaitObserver = void (*)();
void SetWaitObserver(TWaitObserver observer);
