// A contact sheet: every icon enlarged on a checkerboard, so transparent pixels show, with its
// name under it, in rows. For looking at the pictures, not for the program.
#pragma once

#include "tools/icongen/icon_grid.h"

#include <cstdint>
#include <vector>

namespace icongen
{

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, row by row from the top
};

Image RenderContactSheet(const std::vector<Icon> &icons);

} // namespace icongen
