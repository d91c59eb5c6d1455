// What the real window offers beyond the backend seam: a look at every
// frame handed to it, for the window tests.
#pragma once

#include <cstdint>

using TPresentObserver = void (*)(const std::uint32_t *pixels, int width, int height);
void SetPresentObserver(TPresentObserver observer);
