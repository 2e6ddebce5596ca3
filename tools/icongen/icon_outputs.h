// What the icon generator makes of the grids: .ico files for the resource compiler and the C++
// pixel tables of the simulated desktop.
#pragma once

#include "tools/icongen/icon_grid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace icongen
{

// How an icon's colours are stored in its .ico.
enum class IcoDepth {
    // 4 bits per pixel over the 16-colour palette.
    Palette4,
    // 32 bits per pixel, blue, green, red and alpha: 255 for opaque pixels, and 0 with black for
    // transparent ones. The same picture pixel for pixel; a system that keeps an alpha channel
    // for such an icon draws it without converting colours at every draw.
    Argb32,
};

// A single-image ICO: a BITMAPINFOHEADER of doubled height, the colour (XOR) bitmap bottom-up,
// then the AND mask with 1 for transparent pixels, which are black in the colour bitmap. Rows
// are padded to 4 bytes.
std::vector<uint8_t> EncodeIco(const Icon &icon, IcoDepth depth = IcoDepth::Palette4);

// Source of a C++ file defining sim::kIconPixels and sim::kIconPixelsCount (icon_table.h), one
// entry per icon in the given order; 0xFFRRGGBB for opaque pixels, 0 for transparent ones.
std::string SimTableSource(const std::vector<Icon> &icons);

// The 0xAARRGGBB value of a pixel in the simulated desktop's tables.
uint32_t SimArgb(uint8_t pixel);

} // namespace icongen
