// Writing pictures as PNG files: finished frames for tests, tools and bug reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height RGB bytes, row after row; false when the file cannot be written.
bool WriteRgbPng(const std::string &fileName, int width, int height,
                 const std::vector<std::uint8_t> &rgb);

// Writes a frame of 0xAARRGGBB pixels as an RGB PNG (the alpha is not kept).
bool WriteFramePng(const std::string &fileName, const std::uint32_t *pixels, int width, int height);
