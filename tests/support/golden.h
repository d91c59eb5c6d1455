// Golden frames: PNGs in tests/golden compared exactly with what was drawn.
// Set DRAYVANE_REGENERATE_GOLDENS=1 to write them anew (and look at them
// before committing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Passes when the frame equals tests/golden/<name>.png pixel for pixel; on a
// mismatch writes <name>.actual.png beside it and names the first difference.
::testing::AssertionResult MatchesGolden(const std::string &name,
                                         const std::vector<std::uint32_t> &pixels, int width = 1024,
                                         int height = 768);
