// The contact sheet: the icons enlarged on a checkerboard in rows, each with its name drawn
// under it in a small built-in font.
#include "tools/icongen/contact_sheet.h"

#include <algorithm>
#include <string_view>

namespace icongen
{
namespace
{

constexpr int kScale = 6;          // screen pixels per icon pixel
constexpr int kCell = 32 * kScale; // side of the square an icon is centred in
constexpr int kChecker = kScale / 2;
constexpr int kMargin = 16;
constexpr int kColumns = 8;
constexpr int kFontScale = 2;
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kLabelHeight = kGlyphHeight * kFontScale;
constexpr int kPitchX = kCell + kMargin;
constexpr int kPitchY = kCell + 6 + kLabelHeight + kMargin;

// Colours of the sheet, none of them in the icon palette so a transparent pixel is never mistaken
// for a drawn one.
constexpr uint32_t kBackground = 0x303040;
constexpr uint32_t kCheckerLight = 0xD8D0B8;
constexpr uint32_t kCheckerDark = 0xB0A890;
constexpr uint32_t kLabel = 0xF0F0F0;

struct Glyph {
    char c;
    std::string_view rows[kGlyphHeight];
};

// A 5x7 font of the characters resource names use.
constexpr Glyph kFont[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'_', {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
};

const Glyph *FindGlyph(char c)
{
    for (const Glyph &g : kFont)
        if (g.c == c) return &g;
    return nullptr;
}

void Fill(Image &image, int x0, int y0, int w, int h, uint32_t rgb)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = rgb;
}

void DrawIcon(Image &image, const Icon &icon, int left, int top)
{
    // Centre a 16x16 icon in the cell at the same enlargement.
    left += (kCell - icon.width * kScale) / 2;
    top += (kCell - icon.height * kScale) / 2;
    for (int py = 0; py < icon.height * kScale; ++py) {
        for (int px = 0; px < icon.width * kScale; ++px) {
            uint8_t p = icon.At(px / kScale, py / kScale);
            uint32_t rgb;
            if (p == kTransparent)
                rgb = ((px / kChecker + py / kChecker) % 2) ? kCheckerDark : kCheckerLight;
            else
                rgb = kPalette[p].rgb;
            image.pixels[size_t(top + py) * size_t(image.width) + size_t(left + px)] = rgb;
        }
    }
}

void DrawLabel(Image &image, std::string_view text, int centreX, int top)
{
    const int advance = (kGlyphWidth + 1) * kFontScale;
    const int width = int(text.size()) * advance - kFontScale;
    int x = std::max(0, centreX - width / 2);
    for (char c : text) {
        const Glyph *glyph = FindGlyph(c);
        for (int gy = 0; glyph && gy < kGlyphHeight; ++gy)
            for (int gx = 0; gx < kGlyphWidth; ++gx)
                if (glyph->rows[gy][size_t(gx)] == '#' && x + gx * kFontScale < image.width)
                    Fill(image, x + gx * kFontScale, top + gy * kFontScale,
                         std::min(kFontScale, image.width - x - gx * kFontScale), kFontScale,
                         kLabel);
        x += advance;
    }
}

} // namespace

Image RenderContactSheet(const std::vector<Icon> &icons)
{
    const int count = int(icons.size());
    const int columns = std::max(1, std::min(kColumns, count));
    const int rows = std::max(1, (count + columns - 1) / columns);
    Image image;
    image.width = kMargin + columns * kPitchX;
    image.height = kMargin + rows * kPitchY;
    image.pixels.assign(size_t(image.width) * size_t(image.height), kBackground);
    for (int i = 0; i < count; ++i) {
        const int left = kMargin + (i % columns) * kPitchX;
        const int top = kMargin + (i / columns) * kPitchY;
        DrawIcon(image, icons[size_t(i)], left, top);
        DrawLabel(image, icons[size_t(i)].name, left + kCell / 2, top + kCell + 6);
    }
    return image;
}

} // namespace icongen
