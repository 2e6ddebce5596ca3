// Icon text grids: one character per pixel over the 16-colour Windows palette, '.' for a
// transparent pixel. The format is described in resources/icons/README.md.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace icongen
{

struct PaletteColour {
    char code;    // the grid character
    uint32_t rgb; // 0x00RRGGBB
};

// In the order of the standard 16-colour Windows palette, so the index is the 4-bit pixel value.
// Lower case is the dark half of a pair, upper case the bright half; k d s w are the greys.
inline constexpr std::array<PaletteColour, 16> kPalette = {{
    {'k', 0x000000}, // black
    {'r', 0x800000}, // maroon
    {'g', 0x008000}, // green
    {'y', 0x808000}, // olive
    {'b', 0x000080}, // navy
    {'m', 0x800080}, // purple
    {'c', 0x008080}, // teal
    {'s', 0xC0C0C0}, // silver
    {'d', 0x808080}, // grey
    {'R', 0xFF0000}, // red
    {'G', 0x00FF00}, // lime
    {'Y', 0xFFFF00}, // yellow
    {'B', 0x0000FF}, // blue
    {'M', 0xFF00FF}, // fuchsia
    {'C', 0x00FFFF}, // aqua
    {'w', 0xFFFFFF}, // white
}};

inline constexpr char kTransparentCode = '.';

// Pixel value of a transparent pixel; 0..15 are palette indexes.
inline constexpr uint8_t kTransparent = 16;

struct Icon {
    std::string name; // resource name, from the file name
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // width * height, row by row from the top

    uint8_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Palette index of a grid character, kTransparent for '.', or -1 when it is not one.
int PixelValue(char code);

// Parses the text of one grid. On failure returns false and sets error to
// "<file>:<line>: <what is wrong>" (line 0 when the problem is the file as a whole).
bool ParseGrid(std::string_view text, std::string_view file, Icon &icon, std::string &error);

// Reads a grid file: the icon's name is the file name without its directory and ".txt".
bool LoadGrid(const std::string &path, Icon &icon, std::string &error);

} // namespace icongen
