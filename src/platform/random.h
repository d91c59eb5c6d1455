// The game's random generator: fixed start, two steps per number.
#pragma once

#include <cstdint>

extern std::int32_t randomState;

double RandomUnit();
std::int32_t RandomInt(std::int32_t low, std::int32_t high);
