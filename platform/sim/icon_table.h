// Pixel tables of the program's icons for the simulated desktop. The icon generator writes one
// entry per icon resource from the same text grids that become the .ico files of the Windows
// build, so the simulated desktop draws exactly the pictures the real program shows.
#pragma once

#include <cstdint>

namespace sim
{

struct IconPixels {
    const char *name; // resource name, e.g. "ZELMO_ICON1"
    int width;
    int height;
    // width * height entries, row by row from the top: 0xAARRGGBB with alpha 0 (transparent,
    // the icon's mask bit set) or 0xFF (opaque).
    const uint32_t *argb;
};

// Defined by the generated table.
extern const IconPixels kIconPixels[];
extern const int kIconPixelsCount;

} // namespace sim
