// Fuzzes the slot-file loader: whatever a slot file holds, a load either
// leaves the design as it was or takes the whole file, and the design screen
// then draws and inspects the result without leaving any array.
//
// An input describes a slot file, since real ones are 2.4 MB: inputs under 16
// bytes are the file itself; otherwise byte 0 picks the length (exact, short
// by bytes 1-3, or long by byte 1), bytes 4 to 15 are the three trailing
// values, and the rest is repeated over the grid integers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "game/hovered_cell.h"
#include "game/saved_designs.h"
#include "game/ship_views.h"
#include "game/state.h"
#include "game/statistics.h"
#include "platform/platform.h"

using namespace game;

namespace {
constexpr std::size_t kGridBytes = 2400000;
constexpr std::size_t kFileBytes = kGridBytes + 12;

std::vector<unsigned char> slotFileFrom(const std::uint8_t *data, std::size_t size) {
  if (size < 16)
    return std::vector<unsigned char>(data, data + size);
  std::size_t length = kFileBytes;
  if (data[0] % 3 == 1)
    length -= 1 + (std::size_t{data[1]} << 16 | std::size_t{data[2]} << 8 | data[3]) % kFileBytes;
  else if (data[0] % 3 == 2)
    length += 1 + data[1];
  std::vector<unsigned char> file(std::max(length, kFileBytes), 0);
  const std::uint8_t *body = data + 16;
  const std::size_t bodySize = size - 16;
  if (bodySize > 0)
    for (std::size_t at = 0; at < kGridBytes; at += bodySize)
      std::memcpy(file.data() + at, body, std::min(bodySize, kGridBytes - at));
  std::memcpy(file.data() + kGridBytes, data + 4, 12);
  file.resize(length);
  return file;
}

std::int32_t intAt(const std::vector<unsigned char> &file, std::size_t at) {
  return static_cast<std::int32_t>(std::uint32_t{file[at]} | std::uint32_t{file[at + 1]} << 8 |
                                   std::uint32_t{file[at + 2]} << 16 |
                                   std::uint32_t{file[at + 3]} << 24);
}

ShipGrid gridNumber(int g) {
  const ShipGrid grids[] = {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder};
  return grids[g];
}

// What a load may change: slots 0 to 9 of every cell and the three values.
std::uint64_t designFingerprint() {
  std::uint64_t h = 14695981039346656037ull;
  for (int g = 0; g < 6; ++g) {
    const ShipGrid grid = gridNumber(g);
    for (int c = 0; c < kGridSize; ++c)
      for (int r = 0; r < kGridSize; ++r)
        for (int k = 0; k < 10; ++k)
          h = (h ^ static_cast<std::uint32_t>(grid[c][r][k])) * 1099511628211ull;
  }
  for (std::int32_t v : {shownShip, gridColumns, gridRows})
    h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
  return h;
}

bool matchesFile(const std::vector<unsigned char> &file) {
  const ShipGrid grids[] = {topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder};
  std::size_t at = 0;
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < 10; ++k)
        for (const ShipGrid grid : grids) {
          if (grid[c][r][k] != intAt(file, at))
            return false;
          at += 4;
        }
  return shownShip == intAt(file, at) && gridColumns == intAt(file, at + 4) &&
         gridRows == intAt(file, at + 8);
}

void startOnce() {
  static bool started = false;
  if (started)
    return;
  started = true;
  // The slot files go to the working folder; the pictures come from the build.
  std::filesystem::create_directory("IronholdArt");
  OpenDisplay(1024, 768, 32, 60, 0);
  equip = LoadPictureSheet(TextFromAscii(DRAYVANE_ART_DIR "/equip.png"), 20, 20, 0, 100, 1);
  underequip =
      LoadPictureSheet(TextFromAscii(DRAYVANE_ART_DIR "/underequip.png"), 25, 25, 0, 100, 1);
  createGrids();
  // Something in every grid, so that a refused file has a design to keep.
  for (int g = 0; g < 6; ++g)
    gridNumber(g)[1 + g][2][kItemSlot] = 10 + g;
  gridColumns = 12;
  gridRows = 10;
}

void putPointer(int x, int y) {
  TBackendEvent move;
  move.kind = TEventKind::PointerMove;
  move.x = x;
  move.y = y;
  ApplyInputEvent(move);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  startOnce();
  const std::vector<unsigned char> file = slotFileFrom(data, size);
  std::FILE *out = std::fopen("IronholdArt/saved1.sdx", "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0)
    std::abort();

  const std::uint64_t before = designFingerprint();
  credits = 77;
  loadDesign(1);
  if (credits != 5000)
    std::abort();
  const bool whole = file.size() >= kFileBytes;
  const std::int32_t ship = whole ? intAt(file, kGridBytes) : -1;
  const std::int32_t columns = whole ? intAt(file, kGridBytes + 4) : -1;
  const std::int32_t rows = whole ? intAt(file, kGridBytes + 8) : -1;
  const bool acceptable =
      whole && ship >= 0 && ship <= 1 && columns >= 0 && columns <= 39 && rows >= 0 && rows <= 24;
  if (acceptable ? !matchesFile(file) : designFingerprint() != before)
    std::abort();

  // The design screen's passes over whatever was taken, with the pointer on a
  // cell the input chooses.
  const int cellX = size > 1 ? data[size - 1] % 42 : 0, cellY = size > 2 ? data[size - 2] % 27 : 0;
  putPointer(5 + 25 * cellX + 12, 5 + 25 * cellY + 12);
  Cls();
  drawGridLines();
  drawStatsPanel();
  inspectCell();
  drawTopShip();
  return 0;
}
