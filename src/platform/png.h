// PNG decoding through libpng into the buffers pictures are made from.
#pragma once

#include <optional>
#include <string>

#include "pixmap.h"

// Decodes a PNG file: 16-bit channels stripped to 8, palettes and low-bit
// grey expanded, a transparency chunk turned into alpha. Yields nothing on
// any error; never crashes, whatever the file holds.
std::optional<TPixmap> DecodePngFile(const std::string &fileName);

// The same for a PNG held in memory (the fuzzer uses it).
std::optional<TPixmap> DecodePngBytes(const unsigned char *data, std::size_t size);
