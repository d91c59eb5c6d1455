// Slot files for the tests: written by hand from the layout, read back, and
// a fixture that calls the game's functions in a fresh program folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "game/saved_designs.h"
#include "game/state.h"
#include "platform/platform.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;
using namespace game;

using TBytes = std::vector<unsigned char>;
constexpr std::size_t kFileBytes = 2400012;

inline TBytes readFile(const fs::path &name) {
  std::ifstream in(name, std::ios::binary);
  return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path &name, const TBytes &bytes) {
  std::ofstream out(name, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::int32_t intAt(const TBytes &bytes, std::size_t offset) {
  return static_cast<std::int32_t>(
      std::uint32_t{bytes.at(offset)} | std::uint32_t{bytes.at(offset + 1)} << 8 |
      std::uint32_t{bytes.at(offset + 2)} << 16 | std::uint32_t{bytes.at(offset + 3)} << 24);
}

inline void putIntAt(TBytes &bytes, std::size_t offset, std::int32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.at(offset + i) = static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// Where grid g (0 topEquip .. 5 swapUnder) keeps [c][r][k] in a slot file.
inline std::size_t offsetOf(int c, int r, int k, int g) {
  return 4 * static_cast<std::size_t>(((c * 100 + r) * 10 + k) * 6 + g);
}

inline ShipGrid gridNumber(int g) {
  const ShipGrid grids[] = {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder};
  return grids[g];
}

// A value for every stored element, also negative and far beyond the items.
inline std::int32_t patternValue(int c, int r, int k, int g) {
  return static_cast<std::int32_t>((c * 7919u + r * 104729u + k * 13u + g * 1000003u) % 4001u) -
         1000;
}

// A slot file written by hand from the layout: the pattern, then the trailer.
inline TBytes handMadeFile(std::int32_t ship, std::int32_t columns, std::int32_t rows,
                    std::size_t size = kFileBytes) {
  TBytes bytes(std::max(size, kFileBytes));
  for (int c = 0; c < 100; ++c)
    for (int r = 0; r < 100; ++r)
      for (int k = 0; k < 10; ++k)
        for (int g = 0; g < 6; ++g)
          putIntAt(bytes, offsetOf(c, r, k, g), patternValue(c, r, k, g));
  putIntAt(bytes, 2400000, ship);
  putIntAt(bytes, 2400004, columns);
  putIntAt(bytes, 2400008, rows);
  for (std::size_t i = kFileBytes; i < bytes.size(); ++i)
    bytes[i] = 0xEE; // whatever follows the design
  bytes.resize(size);
  return bytes;
}

// Everything a load may change, as one number.
inline std::uint64_t stateFingerprint() {
  std::uint64_t h = 14695981039346656037ull;
  auto mix = [&h](std::uint32_t v) { h = (h ^ v) * 1099511628211ull; };
  for (int g = 0; g < 6; ++g) {
    const auto *words = reinterpret_cast<const std::uint32_t *>(gridNumber(g));
    for (std::size_t i = 0; i < sizeof(GridBlock) / 4; ++i)
      mix(words[i]);
  }
  for (std::int32_t v : {shownShip, gridColumns, gridRows})
    mix(static_cast<std::uint32_t>(v));
  return h;
}

// The game's functions called directly, in a fresh folder as the program folder.
class SlotFiles : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directory(art);
    createGrids();
    clearAllGrids();
    shownShip = 0;
    gridColumns = 12;
    gridRows = 10;
    credits = 1234;
  }
  void TearDown() override { InjectStreamFault(TStreamFault::None); }
  // A design in every grid, slots 10 and up included, that no file holds.
  static void markTheGrids() {
    for (int g = 0; g < 6; ++g)
      for (int c = 0; c < 100; c += 9)
        for (int r = 0; r < 100; r += 11)
          for (int k = 0; k < 100; k += 3)
            gridNumber(g)[c][r][k] = 5000 + g * 100 + k;
    shownShip = 1;
    gridColumns = 20;
    gridRows = 15;
  }
  TScratchFolder scratch{"slots"};
  const fs::path &folder = scratch.path;
  const fs::path art = folder / "IronholdArt";
};
