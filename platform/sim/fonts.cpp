// Simulated fonts. The desktop has the fonts our set-up installs for Wine (the Ume faces of
// fonts-horai-umefont), under the same face names the Wine prefix maps to them
// (e2e/wine-env.sh), and reads the same font files with FreeType. A font's height and the
// advance of each character come out as Wine's font engine computes them from those files, so
// that a size derived from text (a dialog's base units, the time-signal window) agrees with
// Wine's to the pixel:
//
// - the character height (ppem) is -height for a negative height; for a positive one, the
//   height scaled by the em square over the font's Windows ascent and descent; 0 asks for 16;
// - tmAscent and tmDescent are the Windows ascent and descent scaled to that ppem (FreeType's
//   rounding fixed-point multiply), tmHeight their sum;
// - an advance is the glyph's hinted advance (FreeType's default TrueType hinting, no embedded
//   bitmaps), plus one pixel for a font made bold by the engine (a weight above 550 of a face
//   that has no bold), rounded up to whole pixels; a fixed-pitch face gives its full-width
//   characters twice the average width;
// - a text extent adds up the advances of its UTF-16 units one by one, without kerning.
#include "platform/sim/fonts.h"

#include "platform/sim/internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>

namespace sim
{

struct RealizedFont {
    FT_Face face = nullptr;
    int ppem = 0;
    bool fakeBold = false;
    bool fixedPitch = false;
    FT_Fixed emScale = 0;
    FontMetrics metrics;
    int averageWidth = 0; // OS/2 xAvgCharWidth, font units
    mutable std::map<WCHAR, int> advances;
};

namespace
{

// The installed families and their files in ZELMO_FONT_DIR.
constexpr struct {
    const char *family;
    const char *file;
} Installed[] = {
    {"Ume P Gothic", "ume-pgo4.ttf"},
    {"Ume Gothic", "ume-tgo4.ttf"},
    {"Ume UI Gothic", "ume-ugo4.ttf"},
};

bool SameFace(const std::string &a, const std::string &b)
{
    return Upper(a) == Upper(b);
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) throw SimulationError("FreeType does not start");
        return made;
    }();
    return library;
}

// The face of an installed family, opened once per process.
FT_Face OpenFamily(const std::string &family)
{
    static std::map<std::string, FT_Face> opened;
    auto found = opened.find(family);
    if (found != opened.end()) return found->second;
    for (const auto &installed : Installed) {
        if (family != installed.family) continue;
        std::string path = std::string(ZELMO_FONT_DIR) + "/" + installed.file;
        FT_Face face = nullptr;
        if (FT_New_Face(Library(), path.c_str(), 0, &face) != 0)
            throw SimulationError("the font file " + path +
                                  " cannot be read (scripts/setup.sh installs it)");
        (void)FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        opened[family] = face;
        return face;
    }
    throw SimulationError("the font family " + family + " is not installed");
}

std::string InstalledFamily(const std::string &face)
{
    for (const auto &installed : Installed)
        if (SameFace(face, installed.family)) return installed.family;
    for (const auto &[name, family] : FontSubstitutes())
        if (SameFace(face, name)) return family;
    throw SimulationError("the face \"" + face +
                          "\" is not installed on the simulated desktop nor mapped to a face that "
                          "is (see FontSubstitutes)");
}

int WindowsDescent(const TT_OS2 &os2)
{
    // Some fonts keep a signed descent in the unsigned field; it is read as its size.
    return std::abs(static_cast<short>(os2.usWinDescent));
}

int Ppem(FT_Face face, const TT_OS2 &os2, int height)
{
    if (height == 0) height = 16;
    if (height < 0) return -height;
    int cell = os2.usWinAscent + WindowsDescent(os2);
    return MulDiv(face->units_per_EM, height, cell);
}

std::unique_ptr<RealizedFont> Make(const LogicalFont &logical)
{
    auto font = std::make_unique<RealizedFont>();
    font->face = OpenFamily(InstalledFamily(logical.face));
    FT_Face face = font->face;
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (!os2) throw SimulationError("the font of " + logical.face + " has no OS/2 table");
    font->ppem = Ppem(face, *os2, logical.height);
    font->fakeBold = logical.weight > 550 && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    font->fixedPitch = FT_IS_FIXED_WIDTH(face) ||
                       (os2->version != 0xFFFF && os2->panose[3] == 9); // PAN_PROP_MONOSPACED
    font->emScale = FT_MulDiv(font->ppem, 1 << 16, face->units_per_EM);
    font->averageWidth = os2->xAvgCharWidth;
    font->metrics.ascent = static_cast<int>(FT_MulFix(os2->usWinAscent, font->emScale));
    font->metrics.descent = static_cast<int>(FT_MulFix(WindowsDescent(*os2), font->emScale));
    font->metrics.height = font->metrics.ascent + font->metrics.descent;
    return font;
}

int ComputeAdvance(const RealizedFont &font, WCHAR unit)
{
    FT_Face face = font.face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.ppem)) != 0)
        throw SimulationError("FreeType cannot size the font");
    FT_UInt glyph = FT_Get_Char_Index(face, unit);
    constexpr FT_Int32 Flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_NO_BITMAP;
    // A glyph the hinting refuses is loaded again without it.
    if (FT_Load_Glyph(face, glyph, Flags | FT_LOAD_PEDANTIC) != 0 &&
        FT_Load_Glyph(face, glyph, Flags | FT_LOAD_NO_HINTING) != 0)
        return 0;
    FT_Pos advance = face->glyph->metrics.horiAdvance;
    if (font.fixedPitch) {
        FT_Pos average = FT_MulFix(font.averageWidth, font.emScale);
        if (average > 0 && (advance + 63) >> 6 == FT_MulFix(font.averageWidth * 2, font.emScale))
            advance = (average * 2) << 6;
    }
    if (font.fakeBold) advance += 1 << 6;
    return static_cast<int>(((advance + 63) & -64) >> 6);
}

} // namespace

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    bool negative = (product < 0) != (denominator < 0);
    long long quotient =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
    return static_cast<int>(negative ? -quotient : quotient);
}

const std::vector<std::pair<std::string, std::string>> &FontSubstitutes()
{
    static const std::vector<std::pair<std::string, std::string>> substitutes = {
        {"ＭＳ Ｐゴシック", "Ume P Gothic"}, {"MS PGothic", "Ume P Gothic"},
        {"ＭＳ ゴシック", "Ume Gothic"},     {"MS Gothic", "Ume Gothic"},
        {"MS UI Gothic", "Ume UI Gothic"},   {"Meiryo", "Ume UI Gothic"},
        {"Meiryo UI", "Ume UI Gothic"},      {"Yu Gothic UI", "Ume UI Gothic"},
        {"Segoe UI", "Ume UI Gothic"},       {"Tahoma", "Ume UI Gothic"},
        {"MS Shell Dlg", "Ume UI Gothic"},   {"MS Shell Dlg 2", "Ume UI Gothic"},
        {"MS Sans Serif", "Ume UI Gothic"},
    };
    return substitutes;
}

const RealizedFont &Realize(const LogicalFont &font)
{
    static std::map<std::tuple<std::string, int, bool>, std::unique_ptr<RealizedFont>> realized;
    std::string family = InstalledFamily(font.face);
    auto key = std::make_tuple(family, font.height, font.weight > 550);
    auto found = realized.find(key);
    if (found != realized.end()) return *found->second;
    return *(realized[key] = Make(font));
}

FontMetrics Metrics(const RealizedFont &font)
{
    return font.metrics;
}

int Advance(const RealizedFont &font, WCHAR unit)
{
    auto found = font.advances.find(unit);
    if (found != font.advances.end()) return found->second;
    return font.advances[unit] = ComputeAdvance(font, unit);
}

int TextWidth(const RealizedFont &font, const WCHAR *text, int length)
{
    int width = 0;
    for (int i = 0; i < length; ++i)
        width += Advance(font, text[i]);
    return width;
}

SIZE DialogBaseUnits(const std::string &face, int pointSize)
{
    // The template's point size at the screen's 96 pixels per inch, as a character height.
    const RealizedFont &font = Realize(LogicalFont{face, -MulDiv(pointSize, 96, 72)});
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int width = 0;
    for (char letter : std::string(Alphabet))
        width += Advance(font, static_cast<WCHAR>(letter));
    return SIZE{(width / 26 + 1) / 2, font.metrics.height};
}

} // namespace sim
