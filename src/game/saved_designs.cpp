// The five slot files: the whole design saved and loaded, and the ten keys.
#include "saved_designs.h"

#include <vector>

#include "platform/platform.h"
#include "state.h"

namespace game {

namespace {
// A slot file: for every column, row and slot 0 to 9 the six grids' values in
// the order below, then shownShip, gridColumns and gridRows; 600,003
// little-endian 32-bit integers, no header.
constexpr int kStoredSlots = 10;
constexpr std::size_t kGridIntegers = std::size_t{kGridSize} * kGridSize * kStoredSlots * 6;
constexpr std::size_t kFileBytes = (kGridIntegers + 3) * 4;

const char16_t *slotPath(int slot) {
  static const char16_t *const paths[] = {
      u".\\IronholdArt\\saved1.sdx", u".\\IronholdArt\\saved2.sdx", u".\\IronholdArt\\saved3.sdx",
      u".\\IronholdArt\\saved4.sdx", u".\\IronholdArt\\saved5.sdx"};
  return slot >= 1 && slot <= 5 ? paths[slot - 1] : nullptr;
}

// The grids in the order of a slot file.
struct TGridsInFileOrder {
  ShipGrid grids[6];
};
TGridsInFileOrder gridsInFileOrder() {
  return {{topEquip, topUnder, miniEquip, miniUnder, swapEquip, swapUnder}};
}

std::vector<unsigned char> designBytes() {
  std::vector<unsigned char> bytes(kFileBytes);
  const TGridsInFileOrder order = gridsInFileOrder();
  unsigned char *at = bytes.data();
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kStoredSlots; ++k)
        for (ShipGrid grid : order.grids) {
          StoreInt(at, grid[c][r][k]);
          at += 4;
        }
  StoreInt(at, shownShip);
  StoreInt(at + 4, gridColumns);
  StoreInt(at + 8, gridRows);
  return bytes;
}

// Only values the game itself produces are taken: anything else would send
// the whole-grid passes beyond the grids.
bool trailerAcceptable(const unsigned char *trailer) {
  const std::int32_t ship = LoadInt(trailer), columns = LoadInt(trailer + 4),
                     rows = LoadInt(trailer + 8);
  return ship >= 0 && ship <= 1 && columns >= 0 && columns <= 39 && rows >= 0 && rows <= 24;
}

void takeDesign(const std::vector<unsigned char> &bytes) {
  const TGridsInFileOrder order = gridsInFileOrder();
  const unsigned char *at = bytes.data();
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      for (int k = 0; k < kStoredSlots; ++k)
        for (ShipGrid grid : order.grids) {
          grid[c][r][k] = LoadInt(at);
          at += 4;
        }
  shownShip = LoadInt(at);
  gridColumns = LoadInt(at + 4);
  gridRows = LoadInt(at + 8);
}

struct TSlotKey {
  int key;
  int slot;
  bool save;
};
constexpr TSlotKey kSlotKeys[] = {{81, 1, true}, {49, 1, false}, {87, 2, true}, {50, 2, false},
                                  {69, 3, true}, {51, 3, false}, {82, 4, true}, {52, 4, false},
                                  {84, 5, true}, {53, 5, false}};
} // namespace

void saveDesign(int slot) {
  const char16_t *path = slotPath(slot);
  if (!path)
    return;
  const std::vector<unsigned char> bytes = designBytes();
  // The old design keeps its file until the new one is whole on the disk.
  const int stream = OpenForReplacing(path);
  if (stream == 0)
    return;
  try {
    WriteBytes(stream, bytes.data(), bytes.size());
    Flush(stream);
    Commit(stream);
  } catch (const TStreamWriteException &) {
    // A full or failing disk: the slot keeps its previous design.
  }
  Close(stream);
}

void loadDesign(int slot) {
  const char16_t *path = slotPath(slot);
  const int stream = path ? OpenForReading(path) : 0;
  if (stream != 0) {
    // The whole file is read and checked before anything changes; bytes
    // beyond the design are left unread.
    std::vector<unsigned char> bytes(kFileBytes);
    bool whole = true;
    try {
      ReadBytes(stream, bytes.data(), bytes.size());
    } catch (const TStreamReadException &) {
      whole = false; // a short file is refused like a missing one
    }
    Close(stream);
    if (whole && trailerAcceptable(bytes.data() + kGridIntegers * 4))
      takeDesign(bytes);
  }
  credits = 5000;
}

void handleSavedDesignKeys() {
  for (const TSlotKey &k : kSlotKeys) {
    if (TakeKeyHits(k.key) == 0)
      continue;
    drainKey(k.key);
    if (k.save)
      saveDesign(k.slot);
    else
      loadDesign(k.slot);
  }
}

} // namespace game
