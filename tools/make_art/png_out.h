// Writing the generated pictures as PNG files, safely, beside whatever else the art folder holds.
#pragma once

#include <filesystem>

#include "canvas.h"

// Writes picture as an 8-bit RGB PNG at path (clear pixels as pure black).
// The bytes go to a temporary file in the same folder first, which is then
// renamed over path, so a reader never sees half a picture and no other file
// of the folder is touched. Throws std::runtime_error on failure.
void writePng(const Canvas &picture, const std::filesystem::path &path);
