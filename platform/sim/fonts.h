// The simulated desktop's fonts, for its own source files: the faces a program or a dialog
// template names, realized from the font files our set-up installs, and the metrics GDI and the
// dialog manager derive from them (fonts.cpp).
#pragma once

#include "platform.h"

#include <string>
#include <utility>
#include <vector>

namespace sim
{

// A font as CreateFontA asks for it.
struct LogicalFont {
    std::string face; // UTF-8
    int height = 0;   // below 0: the character height in pixels; above 0: the cell height
    int weight = FW_NORMAL;
    DWORD charset = DEFAULT_CHARSET;
};

struct FontMetrics {
    int height = 0; // tmHeight: ascent and descent
    int ascent = 0;
    int descent = 0;
};

struct RealizedFont;

// The installed font a logical font comes out as. Throws SimulationError for a face that is
// neither installed nor mapped to an installed one. The result lives as long as the process.
const RealizedFont &Realize(const LogicalFont &font);
FontMetrics Metrics(const RealizedFont &font);
// The advance of one UTF-16 code unit in whole pixels, as text extents add them up.
int Advance(const RealizedFont &font, WCHAR unit);
// The sum of the advances of the units: a text extent's width.
int TextWidth(const RealizedFont &font, const WCHAR *text, int length);

// The dialog base units of a template font (face and point size), as the dialog manager derives
// them: half the average width of the 52 Latin letters, rounded, and the font's height.
SIZE DialogBaseUnits(const std::string &face, int pointSize);

// Windows' MulDiv: number times numerator over denominator in 64 bits, rounded to the nearest
// whole number (halves away from zero); -1 for a denominator of 0.
int MulDiv(int number, int numerator, int denominator);

// The face names mapped to installed families, as the prefix of our set-up maps them
// (e2e/wine-env.sh): name, family.
const std::vector<std::pair<std::string, std::string>> &FontSubstitutes();

} // namespace sim
