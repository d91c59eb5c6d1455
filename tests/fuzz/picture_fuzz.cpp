// Fuzzes picture decoding: any bytes must come back as a consistent picture or as nothing.
#include "platform/png.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

std::uint32_t Get32(const std::vector<unsigned char> &bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
         std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

void Put32(std::vector<unsigned char> &bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

// Mutated files nearly always fail the chunk checksum first; a copy with the
// checksums recomputed lets the mutations reach the chunk readers.
std::vector<unsigned char> WithChecksumsRepaired(const std::uint8_t *data, std::size_t size) {
  std::vector<unsigned char> copy(data, data + size);
  std::size_t at = 8; // past the signature
  while (size - at >= 12 && at < size) {
    const std::uint32_t length = Get32(copy, at);
    if (length > size - at - 12)
      break;
    Put32(copy, at + 8 + length,
          static_cast<std::uint32_t>(crc32(0, copy.data() + at + 4, length + 4)));
    at += 12 + std::size_t{length};
  }
  return copy;
}

// A decoded picture must hold exactly its rows, no more and no less.
void CheckPicture(const std::optional<TPixmap> &pixmap) {
  if (!pixmap)
    return;
  const std::size_t expected = static_cast<std::size_t>(pixmap->width) *
                               static_cast<std::size_t>(pixmap->height) *
                               static_cast<std::size_t>(pixmap->bytesPerPixel());
  if (pixmap->width <= 0 || pixmap->height <= 0 || pixmap->bytes.size() != expected)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  CheckPicture(DecodePngBytes(data, size));
  if (size > 8) {
    const std::vector<unsigned char> repaired = WithChecksumsRepaired(data, size);
    CheckPicture(DecodePngBytes(repaired.data(), repaired.size()));
  }
  return 0;
}
