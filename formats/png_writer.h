// Writes 8-bit RGB images as PNG files, uncompressed (stored deflate blocks), so the tools and
// the simulated desktop need no image library. Output is byte for byte the same for the same
// pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace png
{

// pixels: width * height entries, 0x00RRGGBB, row by row from the top.
// Returns false when the file cannot be written.
bool WriteRgb(const std::string &path, int width, int height, const std::vector<uint32_t> &pixels);

// The encoded file, for callers that write it themselves.
std::vector<uint8_t> EncodeRgb(int width, int height, const std::vector<uint32_t> &pixels);

} // namespace png
