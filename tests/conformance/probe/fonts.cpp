// Scenarios of text in the fonts ZelmoSound asks for, with the fonts our set-up installs (the
// Ume faces, mapped to the names the program and its dialogs give: e2e/wine-env.sh): the time
// signal's font (CreateFontA with its height, weight, character set and face), selected into a
// window's device context; the extent of every form of the signal's text and the window sized
// from it; the text drawn with SetBkMode and SetTextColor, looked at through GetPixel (where the
// ink lies, not the glyphs' shapes, which depend on the rasterizer); a font deleted while
// selected; and the dialog templates' fonts, whose average letter width and height make the
// dialog base units, with the extents of the widest labels.
#include "tests/conformance/probe/probe.h"

#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace
{

constexpr char SignalClass[] = "ZelmoProbeSignal"; // as the time signal's: no brush
constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF Black = RGB(0, 0, 0);

std::vector<WCHAR> Wide(const std::string &utf8)
{
    WCHAR buffer[128] = {};
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, buffer, 128);
    return std::vector<WCHAR>(buffer, buffer + (units > 0 ? units - 1 : 0));
}

SIZE Extent(HDC dc, const std::string &utf8)
{
    std::vector<WCHAR> text = Wide(utf8);
    SIZE size{-1, -1};
    if (!GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size))
        return SIZE{-1, -1};
    return size;
}

std::string Text(SIZE size)
{
    return std::to_string(size.cx) + "x" + std::to_string(size.cy);
}

std::string Hex(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(color));
    return text;
}

HFONT SignalFont()
{
    return CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "Yu Gothic UI");
}

// The signal's text for an hour, as the program puts it together: the tens from the table (a
// full-width space for none), the units (the full-width zero for 0), then "時だよ～ん".
std::string SignalText(int hour)
{
    static const char *const digits[11] = {"　", "１", "２", "３", "４", "５",
                                           "６", "７", "８", "９", "０"};
    return std::string(digits[hour / 10]) + digits[hour % 10 == 0 ? 10 : hour % 10] + "時だよ～ん";
}

// ---- signal-text: the time signal's font in its window's device context; the extents of the
// 24 forms of its text, and the window sized from them with and without the character's row.

HWND SignalWindow()
{
    probe::RegisterProbeWindowClass(SignalClass, CS_DBLCLKS, nullptr,
                                    LoadCursorA(nullptr, IDC_ARROW));
    return probe::CreateProbeWindow("signal", nullptr, nullptr, WS_POPUP,
                                    WS_EX_TRANSPARENT | WS_EX_TOPMOST, SignalClass);
}

void SignalExtents()
{
    HWND window = SignalWindow();
    HFONT font = SignalFont();
    probe::Trace(std::string("CreateFontA Yu Gothic UI -16 bold Shift-JIS -> ") +
                 (font ? "font" : "null"));
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    probe::Trace(std::string("SelectObject -> ") +
                 (old == GetStockObject(SYSTEM_FONT) ? "the system font" : "another object"));
    std::set<std::string> extents;
    for (int hour = 0; hour < 24; ++hour)
        extents.insert(Text(Extent(dc, SignalText(hour))));
    std::string line = "extents of the 24 hours:";
    for (const std::string &extent : extents)
        line += " " + extent;
    probe::Trace(line);
    SIZE size = Extent(dc, SignalText(0));
    probe::TraceResult("SelectObject back is the font", SelectObject(dc, old) == font);
    probe::TraceResult("ReleaseDC", ReleaseDC(window, dc));
    probe::TraceResult("DeleteObject", DeleteObject(font));
    for (int character : {0, 50}) {
        (void)MoveWindow(window, 0, 0, size.cx, size.cy + character, FALSE);
        RECT r{};
        (void)GetWindowRect(window, &r);
        probe::Trace("window with " + std::to_string(character) + " for the character: " +
                     std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
    }
}

// ---- signal-drawing: the text drawn as a frame of the signal draws it (transparent, in
// yellow, at (1, 51) over black), then opaque at (1, 1): where the ink and the background land.

HWND Drawn = nullptr;
SIZE Cell{};

COLORREF Pixel(int x, int y)
{
    HDC dc = GetDC(Drawn);
    COLORREF color = GetPixel(dc, x, y);
    (void)ReleaseDC(Drawn, dc);
    return color;
}

// Within the text's cell at (x, y): is there ink of the text colour; outside it, did any pixel
// change from black; the cell's corners.
void TraceCell(int x, int y)
{
    bool ink = false, outsideChanged = false;
    HDC dc = GetDC(Drawn);
    RECT client{};
    (void)GetClientRect(Drawn, &client);
    for (int py = 0; py < client.bottom; ++py) {
        for (int px = 0; px < client.right; ++px) {
            COLORREF color = GetPixel(dc, px, py);
            bool inside = px >= x && px < x + Cell.cx && py >= y && py < y + Cell.cy;
            if (inside && color == Yellow) ink = true;
            if (!inside && color != Black) outsideChanged = true;
        }
    }
    (void)ReleaseDC(Drawn, dc);
    probe::Trace(std::string("ink in the cell: ") + (ink ? "yes" : "no") +
                 ", outside it: " + (outsideChanged ? "changed" : "black"));
    probe::Trace("cell corners: " + Hex(Pixel(x, y)) + " " + Hex(Pixel(x + Cell.cx - 1, y)) + " " +
                 Hex(Pixel(x, y + Cell.cy - 1)) + " " +
                 Hex(Pixel(x + Cell.cx - 1, y + Cell.cy - 1)));
}

void SignalDrawing()
{
    Drawn = SignalWindow();
    HFONT font = SignalFont();
    HDC dc = GetDC(Drawn);
    HGDIOBJ old = SelectObject(dc, font);
    Cell = Extent(dc, SignalText(12));
    (void)SelectObject(dc, old);
    (void)ReleaseDC(Drawn, dc);
    // Away from the pointer; painted at once, then filled black as the screen behind it.
    (void)MoveWindow(Drawn, 300, 300, Cell.cx + 2, Cell.cy + 52, FALSE);
    (void)ShowWindow(Drawn, SW_SHOWNA);
    (void)UpdateWindow(Drawn);
    dc = GetDC(Drawn);
    RECT client{};
    (void)GetClientRect(Drawn, &client);
    (void)FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    old = SelectObject(dc, font);
    probe::TraceResult("SetBkMode TRANSPARENT, before", SetBkMode(dc, TRANSPARENT));
    probe::Trace("SetTextColor yellow, before " + Hex(SetTextColor(dc, Yellow)));
    std::vector<WCHAR> text = Wide(SignalText(12));
    probe::TraceResult("TextOutW transparent",
                       TextOutW(dc, 1, 51, text.data(), static_cast<int>(text.size())));
    TraceCell(1, 51);
    probe::TraceResult("SetBkMode OPAQUE, before", SetBkMode(dc, OPAQUE));
    probe::TraceResult("TextOutW opaque",
                       TextOutW(dc, 1, 1, text.data(), static_cast<int>(text.size())));
    probe::Trace("opaque cell corners: " + Hex(Pixel(1, 1)) + " " + Hex(Pixel(Cell.cx, 1)) + " " +
                 Hex(Pixel(1, Cell.cy)) + " " + Hex(Pixel(Cell.cx, Cell.cy)) +
                 (Pixel(Cell.cx + 1, 1) == Black ? ", black beside it" : ", changed beside it"));
    (void)SelectObject(dc, old);
    (void)ReleaseDC(Drawn, dc);
    (void)DeleteObject(font);
}

// ---- delete-selected: a font deleted while a device context holds it stays in use there until
// it is deselected, and is gone afterwards.

void DeleteSelected()
{
    HWND window = SignalWindow();
    HFONT font = SignalFont();
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    probe::TraceResult("DeleteObject while selected", DeleteObject(font));
    probe::Trace("extent with it: " + Text(Extent(dc, SignalText(12))));
    probe::TraceResult("SelectObject back gives it", SelectObject(dc, old) == font);
    probe::TraceResult("DeleteObject again", DeleteObject(font));
    probe::TraceResult("ReleaseDC", ReleaseDC(window, dc));
}

// ---- dialog-fonts: the fonts of the dialog templates at 9 points (12 pixels on a 96-dot
// screen), as the dialog manager makes them: the 52 Latin letters, whose average width makes
// the horizontal base unit, and the height; then the widest labels of the templates.

struct Label {
    const char *face;
    const char *text;
};

constexpr Label Labels[] = {
    {"ＭＳ Ｐゴシック", "再生する音と何秒ごとに再生するかを設定します。"},
    {"ＭＳ Ｐゴシック", "ウィンドウズが起動した時に自動的に動くように.."},
    {"ＭＳ Ｐゴシック", "他の音ファイル ( WAVEファイル ) をコピーして登録します。"},
    {"ＭＳ Ｐゴシック", "登録された音ファイル ( WAVEファイル ) を削除します。"},
    {"ＭＳ Ｐゴシック", "スタートアップに登録します。"},
    {"MS Sans Serif", "Version 1.00"},
};

HFONT TemplateFont(const char *face)
{
    return CreateFontA(-12, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

void DialogFonts()
{
    HWND window = probe::CreateProbeWindow("window", nullptr, nullptr);
    HDC dc = GetDC(window);
    for (const char *face : {"ＭＳ Ｐゴシック", "MS Sans Serif"}) {
        HFONT font = TemplateFont(face);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE letters = Extent(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        probe::Trace(std::string(face) + ": letters " + Text(letters) + ", base units " +
                     std::to_string((letters.cx / 26 + 1) / 2) + "x" + std::to_string(letters.cy));
        for (const Label &label : Labels)
            if (std::string(label.face) == face)
                probe::Trace(std::string("  ") + label.text + " " + Text(Extent(dc, label.text)));
        (void)SelectObject(dc, old);
        (void)DeleteObject(font);
    }
    (void)ReleaseDC(window, dc);
}

constexpr probe::Scenario Scenarios[] = {
    {"signal-text", SignalExtents},
    {"signal-drawing", SignalDrawing},
    {"delete-selected", DeleteSelected},
    {"dialog-fonts", DialogFonts},
};

} // namespace

extern const probe::Area fontsArea = {"fonts", Scenarios, std::size(Scenarios)};
