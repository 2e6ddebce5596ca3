// Simulated drawing: device contexts obtained and released per window, icons drawn with their
// masks into the window's framebuffer, rectangles filled with brushes, pixels read back, text
// measured and drawn with fixed metrics. Every device context and brush is counted until it is
// released. As on Windows, drawing lands only on a shown window, inside its client area and
// inside the device context's clipping (BeginPaint's is the update region).
//
// Text selected in a created font is measured with that font's metrics (fonts.cpp), each
// character drawn as a frame in the text colour in a cell as wide as its advance and as high as
// the font. A device context's own default font (the system font, which a program of ours never
// measures) keeps fixed metrics: 6 pixels for a narrow character, 12 for a wide one, 12 high.
#include "platform/sim/fonts.h"
#include "platform/sim/internal.h"
#include "platform/sim/modal.h"
#include "platform/sim/shell.h"

#include "formats/png_writer.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace sim
{

namespace
{

constexpr int TextHeight = 12;
constexpr int NarrowWidth = 6;
constexpr int WideWidth = 12;

struct DeviceContext {
    HWND hwnd = nullptr;
    HGDIOBJ font = nullptr; // null: the device context's default font
    int bkMode = OPAQUE;
    COLORREF textColor = 0;
    bool clipped = false;   // drawing only inside clip
    std::vector<RECT> clip; // client coordinates
};

struct FontObject {
    LogicalFont logical;
    const RealizedFont *realized = nullptr;
    bool deleted = false; // deleted while selected: it goes when it is no longer selected
};

struct GdiState {
    std::map<HDC, DeviceContext> contexts;
    std::map<HGDIOBJ, FontObject> fonts; // created and not yet gone
    std::map<HGDIOBJ, COLORREF> brushes; // created and not yet deleted
    std::vector<DrawOp> log;
    GdiFaults faults;
};

// The stock objects are GetStockObject's handles: this base plus their number.
constexpr uintptr_t StockBase = 0x1000;

// The colours of the stock brushes, by number; the null brush paints nothing.
constexpr struct {
    int object;
    COLORREF color;
} StockBrushes[] = {
    {WHITE_BRUSH, RGB(255, 255, 255)}, {LTGRAY_BRUSH, RGB(192, 192, 192)},
    {GRAY_BRUSH, RGB(128, 128, 128)},  {DKGRAY_BRUSH, RGB(64, 64, 64)},
    {BLACK_BRUSH, RGB(0, 0, 0)},
};

GdiState &Gdi()
{
    static GdiState state;
    return state;
}

// The client area's framebuffer, sized to the window's current client size.
std::vector<uint32_t> &Framebuffer(WindowObject &window)
{
    SIZE size = ClientSize(window);
    int width = size.cx;
    int height = size.cy;
    if (width != window.pixelsWidth || height != window.pixelsHeight) {
        std::vector<uint32_t> resized(static_cast<size_t>(std::max(width, 0) * std::max(height, 0)),
                                      0);
        for (int y = 0; y < std::min(height, window.pixelsHeight); ++y)
            for (int x = 0; x < std::min(width, window.pixelsWidth); ++x)
                resized[static_cast<size_t>(y * width + x)] =
                    window.pixels[static_cast<size_t>(y * window.pixelsWidth + x)];
        window.pixels = std::move(resized);
        window.pixelsWidth = width;
        window.pixelsHeight = height;
    }
    return window.pixels;
}

bool InClip(const DeviceContext &context, int x, int y)
{
    if (!context.clipped) return true;
    for (const RECT &r : context.clip)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

// Where one drawing operation may land, worked out once for it: nowhere on a window that is not
// shown; else inside the client area and inside the device context's clipping.
struct Surface {
    WindowObject *window = nullptr;
    const DeviceContext *context = nullptr;
    bool shown = false;

    bool Allows(int x, int y) const
    {
        return shown && x >= 0 && y >= 0 && x < window->pixelsWidth && y < window->pixelsHeight &&
               (!context || InClip(*context, x, y));
    }
    void Put(int x, int y, uint32_t rgb) const
    {
        if (Allows(x, y)) window->pixels[static_cast<size_t>(y * window->pixelsWidth + x)] = rgb;
    }
    // Every pixel of the area (right and bottom excluded) that Put would set, a row at a time:
    // a full-screen window is filled at every showing. Overlapping clip rectangles set the same
    // pixels twice, to the same colour.
    void Fill(int left, int top, int right, int bottom, uint32_t rgb) const
    {
        if (!shown) return;
        auto fill = [&](const RECT &within) {
            const int x0 = std::max({left, 0, static_cast<int>(within.left)});
            const int x1 = std::min({right, window->pixelsWidth, static_cast<int>(within.right)});
            const int y0 = std::max({top, 0, static_cast<int>(within.top)});
            const int y1 =
                std::min({bottom, window->pixelsHeight, static_cast<int>(within.bottom)});
            for (int y = y0; y < y1 && x0 < x1; ++y) {
                auto row = window->pixels.begin() + static_cast<ptrdiff_t>(y) * window->pixelsWidth;
                std::fill(row + x0, row + x1, rgb);
            }
        };
        if (!context || !context->clipped) {
            fill(RECT{left, top, right, bottom});
            return;
        }
        for (const RECT &clip : context->clip)
            fill(clip);
    }
};

Surface SurfaceOf(const DeviceContext *context, WindowObject &window)
{
    Framebuffer(window);
    return Surface{&window, context, IsShown(window)};
}

uint32_t ToRgb(COLORREF color)
{
    return static_cast<uint32_t>(GetRValue(color)) << 16 |
           static_cast<uint32_t>(GetGValue(color)) << 8 | GetBValue(color);
}

DeviceContext *Context(HDC dc)
{
    auto it = Gdi().contexts.find(dc);
    return it == Gdi().contexts.end() ? nullptr : &it->second;
}

// A font deleted while it was selected goes once no device context holds it.
void DropDeletedFonts()
{
    for (auto font = Gdi().fonts.begin(); font != Gdi().fonts.end();) {
        bool selected = false;
        for (const auto &[dc, context] : Gdi().contexts)
            selected = selected || context.font == font->first;
        font = font->second.deleted && !selected ? Gdi().fonts.erase(font) : std::next(font);
    }
}

// The colour a brush paints with; false for the null brush and for what is not a brush.
bool BrushColor(HBRUSH brush, COLORREF *color)
{
    auto handle = reinterpret_cast<uintptr_t>(brush);
    for (const auto &stock : StockBrushes) {
        if (handle == StockBase + static_cast<uintptr_t>(stock.object)) {
            *color = stock.color;
            return true;
        }
    }
    auto created = Gdi().brushes.find(reinterpret_cast<HGDIOBJ>(brush));
    if (created == Gdi().brushes.end()) return false;
    *color = created->second;
    return true;
}

} // namespace

HDC OpenClippedContext(HWND hwnd, const std::vector<RECT> &clip)
{
    if (!FindWindowObject(hwnd)) return nullptr;
    HDC dc = reinterpret_cast<HDC>(S().NewHandle());
    Gdi().contexts[dc] = DeviceContext{hwnd, nullptr, OPAQUE, 0, true, clip};
    return dc;
}

void CloseContext(HDC dc)
{
    Gdi().contexts.erase(dc);
    DropDeletedFonts();
}

void ClearPixels(WindowObject &window)
{
    auto &pixels = Framebuffer(window);
    std::fill(pixels.begin(), pixels.end(), 0u);
}

void ResetGdiState()
{
    Gdi() = GdiState{};
}

GdiFaults &Desktop::GdiFaults()
{
    return Gdi().faults;
}

std::vector<DrawOp> Desktop::DrawLog(HWND hwnd) const
{
    std::vector<DrawOp> ops;
    for (const DrawOp &op : Gdi().log)
        if (op.hwnd == hwnd) ops.push_back(op);
    return ops;
}

void Desktop::ClearDrawLog()
{
    Gdi().log.clear();
}

uint32_t Desktop::Pixel(HWND hwnd, int x, int y) const
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    auto &pixels = Framebuffer(*window);
    if (x < 0 || y < 0 || x >= window->pixelsWidth || y >= window->pixelsHeight) return 0;
    return pixels[static_cast<size_t>(y * window->pixelsWidth + x)];
}

int Desktop::OpenBrushes() const
{
    return static_cast<int>(Gdi().brushes.size());
}

bool Desktop::SaveWindowPng(HWND hwnd, const std::string &hostPath) const
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return false;
    auto &pixels = Framebuffer(*window);
    return png::WriteRgb(hostPath, window->pixelsWidth, window->pixelsHeight, pixels);
}

int Desktop::OpenDeviceContexts() const
{
    return static_cast<int>(Gdi().contexts.size());
}

int Desktop::OpenFonts() const
{
    return static_cast<int>(Gdi().fonts.size());
}

} // namespace sim

using namespace sim;

HDC WINAPI GetDC(HWND hwnd)
{
    PlatformCode platform;
    if (!FindWindowObject(hwnd)) return nullptr;
    HDC dc = reinterpret_cast<HDC>(S().NewHandle());
    Gdi().contexts[dc] = DeviceContext{hwnd, nullptr, OPAQUE, 0, false, {}};
    return dc;
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    if (!context || context->hwnd != hwnd) return 0;
    Gdi().contexts.erase(dc);
    DropDeletedFonts();
    return 1;
}

BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                       HBRUSH flickerFree, UINT flags)
{
    PlatformCode platform;
    (void)step;
    (void)flickerFree;
    DeviceContext *context = Context(dc);
    const IconObject *object = FindIcon(icon);
    WindowObject *window = context ? FindWindowObject(context->hwnd) : nullptr;
    if (!window || !object) return FALSE;
    int width = cx ? cx : object->width;
    int height = cy ? cy : object->height;
    const IconPixels &source = *object->pixels;
    // Only the part that lies on the surface is drawn, row by row.
    const Surface surface = SurfaceOf(context, *window);
    const bool masked = (flags & DI_NORMAL) == DI_NORMAL;
    const int firstRow = std::max(0, -y), endRow = std::min(height, window->pixelsHeight - y);
    const int firstColumn = std::max(0, -x), endColumn = std::min(width, window->pixelsWidth - x);
    for (int row = surface.shown ? firstRow : endRow; row < endRow; ++row) {
        const uint32_t *from =
            source.argb + static_cast<size_t>(row * source.height / height) * source.width;
        uint32_t *to =
            window->pixels.data() + static_cast<size_t>(y + row) * window->pixelsWidth + x;
        for (int column = firstColumn; column < endColumn; ++column) {
            uint32_t argb = from[width == source.width ? column : column * source.width / width];
            // The mask keeps the ground where the picture is transparent.
            if (masked && (argb >> 24) == 0) continue;
            if (context->clipped && !InClip(*context, x + column, y + row)) continue;
            to[column] = argb & 0xFFFFFF;
        }
    }
    Gdi().log.push_back(
        DrawOp{S().now, context->hwnd, "icon", object->name, x, y, width, height, 0, 0});
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon)
{
    PlatformCode platform;
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

int WINAPI SetBkMode(HDC dc, int mode)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    if (!context) return 0;
    int old = context->bkMode;
    context->bkMode = mode;
    return old;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    if (!context) return 0xFFFFFFFF; // CLR_INVALID
    COLORREF old = context->textColor;
    context->textColor = color;
    return old;
}

namespace
{

// The font a device context measures and draws with: a created one, or null for its default.
const FontObject *SelectedFont(const DeviceContext &context)
{
    if (!context.font) return nullptr;
    auto found = Gdi().fonts.find(context.font);
    return found == Gdi().fonts.end() ? nullptr : &found->second;
}

int LineHeight(const FontObject *font)
{
    return font ? Metrics(*font->realized).height : TextHeight;
}

// The cell widths of UTF-16 units: the font's advances, or the default font's fixed widths (the
// second half of a surrogate pair taking no room).
std::vector<int> Widths(const FontObject *font, const WCHAR *text, int length)
{
    std::vector<int> widths;
    for (int i = 0; i < length; ++i) {
        if (font) {
            widths.push_back(Advance(*font->realized, text[i]));
        } else if (text[i] < 0xDC00 || text[i] >= 0xE000) {
            widths.push_back(text[i] < 0x80 ? NarrowWidth : WideWidth);
        }
    }
    return widths;
}

// Draws characters of the given widths and logs the text as a person would read it.
BOOL DrawText(HDC dc, int x, int y, const WCHAR *text, int length, const std::string &shown)
{
    DeviceContext *context = Context(dc);
    WindowObject *window = context ? FindWindowObject(context->hwnd) : nullptr;
    if (!window) return FALSE;
    const FontObject *font = SelectedFont(*context);
    const int height = LineHeight(font);
    uint32_t ink = ToRgb(context->textColor);
    const Surface surface = SurfaceOf(context, *window);
    int left = x;
    for (int width : Widths(font, text, length)) {
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                bool frame = row >= 1 && row <= height - 2 && column >= 1 && column <= width - 2 &&
                             (row == 1 || row == height - 2 || column == 1 || column == width - 2);
                if (frame)
                    surface.Put(left + column, y + row, ink);
                else if (context->bkMode == OPAQUE)
                    surface.Put(left + column, y + row, 0xFFFFFF);
            }
        }
        left += width;
    }
    Gdi().log.push_back(DrawOp{S().now, context->hwnd, "text", shown, x, y, left - x, height,
                               context->textColor, context->bkMode});
    return TRUE;
}

BOOL Extent(HDC dc, const WCHAR *text, int length, LPSIZE size)
{
    const DeviceContext *context = Context(dc);
    if (!context || Gdi().faults.textExtent) return FALSE;
    const FontObject *font = SelectedFont(*context);
    int width = 0;
    for (int w : Widths(font, text, length))
        width += w;
    *size = SIZE{width, LineHeight(font)};
    return TRUE;
}

// The stock objects that are fonts: OEM_FIXED_FONT to DEFAULT_GUI_FONT, DEVICE_DEFAULT_PALETTE
// (15) apart.
bool IsStockFont(HGDIOBJ object)
{
    auto handle = reinterpret_cast<uintptr_t>(object);
    return handle >= StockBase + OEM_FIXED_FONT && handle <= StockBase + DEFAULT_GUI_FONT &&
           handle != StockBase + 15;
}

} // namespace

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int length)
{
    PlatformCode platform;
    return DrawText(dc, x, y, text, length, NarrowUtf16(text, length));
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, LPSIZE size)
{
    PlatformCode platform;
    return Extent(dc, text, length, size);
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR face)
{
    PlatformCode platform;
    // The face, height, weight and character set choose the font; the rest changes neither its
    // height nor its advances as the program uses it.
    (void)width, (void)escapement, (void)orientation, (void)italic, (void)underline;
    (void)strikeOut, (void)outPrecision, (void)clipPrecision, (void)quality, (void)pitchAndFamily;
    FontObject font;
    font.logical = LogicalFont{face ? face : "", height, weight, charSet};
    font.realized = &Realize(font.logical);
    HFONT handle = reinterpret_cast<HFONT>(S().NewHandle());
    Gdi().fonts[handle] = font;
    return handle;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    if (!context || !object) return nullptr;
    bool created = Gdi().fonts.count(object) && !Gdi().fonts[object].deleted;
    if (!created && !IsStockFont(object))
        throw SimulationError("SelectObject of anything but a font is not simulated");
    HGDIOBJ old =
        context->font ? context->font : reinterpret_cast<HGDIOBJ>(StockBase + SYSTEM_FONT);
    // A stock font selected is the device context's default font again.
    context->font = created ? object : nullptr;
    DropDeletedFonts();
    return old;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    PlatformCode platform;
    if (Gdi().brushes.erase(object)) return TRUE;
    auto font = Gdi().fonts.find(object);
    if (font == Gdi().fonts.end() || font->second.deleted) return FALSE;
    // Deleted while a device context holds it, it stays usable there until it is deselected.
    font->second.deleted = true;
    DropDeletedFonts();
    return TRUE;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    PlatformCode platform;
    HBRUSH brush = reinterpret_cast<HBRUSH>(S().NewHandle());
    Gdi().brushes[reinterpret_cast<HGDIOBJ>(brush)] = color & 0xFFFFFF;
    return brush;
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    WindowObject *window = context ? FindWindowObject(context->hwnd) : nullptr;
    if (!window || !rect) return 0;
    COLORREF color = 0;
    if (!BrushColor(brush, &color))
        return reinterpret_cast<uintptr_t>(brush) == StockBase + NULL_BRUSH ? 1 : 0;
    // Right and bottom are not filled; a rectangle given upside down is filled the right way up.
    int left = std::min(rect->left, rect->right), right = std::max(rect->left, rect->right);
    int top = std::min(rect->top, rect->bottom), bottom = std::max(rect->top, rect->bottom);
    const Surface surface = SurfaceOf(context, *window);
    uint32_t rgb = ToRgb(color);
    surface.Fill(left, top, right, bottom, rgb);
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb));
    Gdi().log.push_back(
        DrawOp{S().now, context->hwnd, "fill", text, left, top, right - left, bottom - top, 0, 0});
    return 1;
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y)
{
    PlatformCode platform;
    DeviceContext *context = Context(dc);
    WindowObject *window = context ? FindWindowObject(context->hwnd) : nullptr;
    if (!window || !SurfaceOf(context, *window).Allows(x, y)) return CLR_INVALID;
    uint32_t rgb = window->pixels[static_cast<size_t>(y * window->pixelsWidth + x)];
    return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
