// Guards the game's random numbers: the sequence from the fixed start, and two steps per number.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>

#include "platform/random.h"

namespace {

constexpr std::int32_t kStart = 4660;
constexpr std::int64_t kModulus = 2147483647;

// One step in plain 64-bit arithmetic, to hold the generator's own method against.
std::int64_t Step(std::int64_t state) {
  return state * 48271 % kModulus;
}

struct TUnitRow {
  std::int32_t firstStep, secondStep;
  double unit;
  std::int64_t unitTimes2To53;
  std::int32_t upTo70, upTo9, tenDownTo5;
};

// The first five numbers from the start.
const TUnitRow kRows[] = {
    {224942860, 539475828, 0.4189887270692887, 3773914950203374, 29, 4, 7},
    {650989866, 1951098782, 0.21256311710331344, 1914598349958387, 15, 2, 6},
    {1446483090, 2049422479, 0.694284713397524, 6253560753092241, 49, 6, 9},
    {1690801107, 1544231762, 0.1493624812093064, 1345337629434730, 10, 1, 5},
    {306512485, 1649319252, 0.5709239920384921, 5142426155602858, 40, 5, 8},
};

TEST(RandomNumbers, TheFirstFiveFromTheStartMatchTheTables) {
  randomState = kStart;
  for (const TUnitRow &row : kRows) {
    SCOPED_TRACE("call after state " + std::to_string(randomState));
    EXPECT_EQ(Step(randomState), row.firstStep);
    const double unit = RandomUnit();
    EXPECT_EQ(randomState, row.secondStep);
    EXPECT_EQ(unit, row.unit);
    EXPECT_EQ(std::ldexp(unit, 53), static_cast<double>(row.unitTimes2To53));
  }
  // Each column of RandomInt is a run of its own from the start.
  const std::pair<std::int32_t, std::int32_t> bounds[] = {{0, 70}, {0, 9}, {10, 5}};
  for (int column = 0; column < 3; ++column) {
    SCOPED_TRACE("bounds " + std::to_string(bounds[column].first) + ", " +
                 std::to_string(bounds[column].second));
    randomState = kStart;
    for (const TUnitRow &row : kRows) {
      const std::int32_t want[] = {row.upTo70, row.upTo9, row.tenDownTo5};
      EXPECT_EQ(RandomInt(bounds[column].first, bounds[column].second), want[column]);
      EXPECT_EQ(randomState, row.secondStep);
    }
  }
}

TEST(RandomNumbers, TheFirstCallLeavesTheSameStateWhateverTheBounds) {
  const std::pair<std::int32_t, std::int32_t> bounds[] = {
      {0, 70}, {0, 9}, {10, 5}, {7, 7}, {-100, 100}, {1000, -1000}, {0, 2147483647}};
  for (auto [low, high] : bounds) {
    SCOPED_TRACE(std::to_string(low) + ", " + std::to_string(high));
    randomState = kStart;
    const std::int32_t value = RandomInt(low, high);
    EXPECT_EQ(randomState, 539475828);
    EXPECT_GE(value, std::min(low, high));
    EXPECT_LE(value, std::max(low, high));
  }
  randomState = kStart;
  EXPECT_EQ(RandomInt(7, 7), 7);
  EXPECT_EQ(randomState, 539475828) << "equal bounds still take two steps";
}

TEST(RandomNumbers, BoundsInEitherOrderReachBothEnds) {
  const std::pair<std::int32_t, std::int32_t> bounds[] = {{10, 5}, {5, 10}, {0, 9}, {-3, -3}};
  for (auto [low, high] : bounds) {
    SCOPED_TRACE(std::to_string(low) + ", " + std::to_string(high));
    randomState = kStart;
    std::set<std::int32_t> seen;
    for (int i = 0; i < 2000; ++i)
      seen.insert(RandomInt(low, high));
    std::set<std::int32_t> all;
    for (std::int32_t v = std::min(low, high); v <= std::max(low, high); ++v)
      all.insert(v);
    EXPECT_EQ(seen, all);
  }
}

TEST(RandomNumbers, EveryStateStepsTwiceByTheMultiplierAndNeverReachesZero) {
  // 1 steps to 48271; the rest sit on either side of Schrage's 44488 and at the top.
  const std::int32_t starts[] = {1, 44487, 44488, 44489, 2147483646, 1073741824, kStart};
  for (std::int32_t start : starts) {
    SCOPED_TRACE(start);
    const std::int64_t first = Step(start), second = Step(first);
    randomState = start;
    const double unit = RandomUnit();
    EXPECT_EQ(randomState, second);
    // The unit shows the first step's bits 2 to 28 and the second's bits 3 to 28.
    const std::int64_t a = first & 0x1FFFFFFC, b = second & 0x1FFFFFF8;
    EXPECT_EQ(std::ldexp(unit, 53), static_cast<double>((a << 24) + (b >> 3)));
    EXPECT_GE(randomState, 1);
    EXPECT_LE(randomState, 2147483646);
    EXPECT_LT(unit, 1.0);
  }
  // From 1 the first step is the multiplier itself, seen in the unit's top bits.
  randomState = 1;
  const double unit = RandomUnit();
  EXPECT_EQ(static_cast<std::int64_t>(std::ldexp(unit, 29)) & ~std::int64_t{3}, 48271 & 0x1FFFFFFC);
  EXPECT_EQ(randomState, 48271LL * 48271 % kModulus);
}

} // namespace
