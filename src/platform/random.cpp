// The game's random generator: multiplicative congruential modulo 2^31 - 1.
#include "random.h"

std::int32_t randomState = 4660;

namespace {
constexpr std::int32_t kModulus = 2147483647;
constexpr std::int32_t kMultiplier = 48271;
constexpr std::int32_t kQuotient = 44488; // kModulus / kMultiplier
constexpr std::int32_t kRemainder = 3399; // kModulus % kMultiplier

// Schrage's method keeps state * 48271 mod (2^31 - 1) inside 32 bits.
void step() {
  std::int32_t next =
      (randomState % kQuotient) * kMultiplier - (randomState / kQuotient) * kRemainder;
  if (next < 0)
    next += kModulus;
  randomState = next;
}
} // namespace

double RandomUnit() {
  step();
  double a = randomState & 536870908; // bits 2 to 28
  step();
  double b = randomState & 536870904; // bits 3 to 28
  return (a + b / 134217728.0) / 536870912.0;
}

std::int32_t RandomInt(std::int32_t low, std::int32_t high) {
  // 32-bit wrapping arithmetic, done in 64 bits so no bound can overflow.
  auto range = static_cast<std::int32_t>(static_cast<std::int64_t>(high) - low);
  if (range > 0)
    return static_cast<std::int32_t>(
        low + static_cast<std::int64_t>(RandomUnit() * (static_cast<double>(range) + 1)));
  return static_cast<std::int32_t>(
      high + static_cast<std::int64_t>(RandomUnit() * (1 - static_cast<double>(range))));
}
