// Scenarios of painting: when WM_PAINT comes (after ShowWindow, after InvalidateRect, inside
// UpdateWindow, and otherwise only once nothing else is queued), what BeginPaint hands over and
// validates, WM_ERASEBKGND with and without a class brush, FillRect with stock brushes, icons
// drawn with their masks, and what a window shows after it was hidden and shown again. Pixels
// are read back with GetPixel on the window's own device context.
#include "tests/conformance/probe/probe.h"

#include <cstdio>
#include <iterator>

namespace
{

constexpr UINT WM_PROBE = WM_USER + 100;
constexpr UINT_PTR TickTimer = 1;
constexpr char NoBrushClass[] = "ZelmoProbeNoBrush";

HWND Window = nullptr;
// The brush the paint handler fills the update region with; null: it paints nothing.
HBRUSH PaintBrush = nullptr;
// The paint handler leaves WM_PAINT to DefWindowProcA.
bool DefaultPaint = false;

std::string Text(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string Hex(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(color));
    return text;
}

void RegisterClasses()
{
    probe::RegisterProbeWindowClass(NoBrushClass, 0, nullptr, LoadCursorA(nullptr, IDC_ARROW));
}

void TraceUpdateRect(const char *what)
{
    RECT r{};
    BOOL result = GetUpdateRect(Window, &r, FALSE);
    probe::Trace(std::string("GetUpdateRect ") + what + " -> " + std::to_string(result) +
                 (result ? " " + Text(r) : ""));
}

// GetPixel on the window's own device context, as the screen shows the window now.
void TracePixel(int x, int y)
{
    HDC dc = GetDC(Window);
    COLORREF color = GetPixel(dc, x, y);
    (void)ReleaseDC(Window, dc);
    probe::Trace("GetPixel " + std::to_string(x) + "," + std::to_string(y) + " -> " +
                 (color == CLR_INVALID ? std::string("CLR_INVALID") : Hex(color)));
}

void Fill(const RECT &r, HBRUSH brush)
{
    HDC dc = GetDC(Window);
    probe::TraceResult("FillRect " + Text(r), FillRect(dc, &r, brush));
    (void)ReleaseDC(Window, dc);
}

// The paint handler every window of the area has: BeginPaint, a fill with PaintBrush of what it
// hands over, EndPaint; or DefWindowProcA. The erase message's default result is traced.
LRESULT PaintHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (message == WM_ERASEBKGND) {
        *handled = true;
        LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        probe::TraceResult("DefWindowProcA WM_ERASEBKGND", result);
        return result;
    }
    if (message != WM_PAINT) return 0;
    *handled = true;
    if (DefaultPaint) {
        probe::TraceResult("DefWindowProcA WM_PAINT",
                           DefWindowProcA(hwnd, message, wParam, lParam));
    } else {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        probe::Trace(std::string("BeginPaint ") + (dc ? "dc" : "null") + " rcPaint " +
                     Text(ps.rcPaint) + " fErase " + std::to_string(ps.fErase));
        if (PaintBrush) (void)FillRect(dc, &ps.rcPaint, PaintBrush);
        probe::TraceResult("EndPaint", EndPaint(hwnd, &ps));
    }
    TraceUpdateRect("after paint");
    return 0;
}

// A window of the class shown and painted once, for the scenarios that start from there.
void ShowPainted(const char *className)
{
    Window = probe::CreateProbeWindow("window", nullptr, PaintHandler, WS_POPUP, 0, className);
    (void)ShowWindow(Window, SW_SHOW);
    (void)UpdateWindow(Window);
}

// ---- show: the first paint of a window comes after the messages posted to it, and BeginPaint
// erases it with the class brush and hands over the whole client area.

LRESULT ShowHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (message == WM_PROBE && wParam == 2) {
        *handled = true;
        probe::ScenarioDone();
        return 0;
    }
    LRESULT result = PaintHandler(hwnd, message, wParam, lParam, handled);
    if (message == WM_PAINT) (void)PostMessageA(hwnd, WM_PROBE, 2, 0);
    return result;
}

void Show()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    Window = probe::CreateProbeWindow("window", nullptr, ShowHandler);
    RECT client{};
    probe::TraceResult("GetClientRect", GetClientRect(Window, &client));
    probe::Trace("client " + Text(client));
    TraceUpdateRect("hidden");
    probe::TraceResult("ShowWindow", ShowWindow(Window, SW_SHOW));
    TraceUpdateRect("shown");
    probe::TraceResult("PostMessageA", PostMessageA(Window, WM_PROBE, 1, 0));
    probe::RunScenarioLoop();
}

// ---- invalidate: InvalidateRect gathers rectangles (clipped to the client area) into one update
// region; UpdateWindow paints it at once, with the erase any of them asked for; DefWindowProcA
// validates on WM_PAINT.

void Invalidate()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    ShowPainted(nullptr);
    RECT a{10, 20, 30, 40}, b{50, 60, 70, 80};
    probe::TraceResult("InvalidateRect no erase", InvalidateRect(Window, &a, FALSE));
    probe::TraceResult("InvalidateRect erase", InvalidateRect(Window, &b, TRUE));
    TraceUpdateRect("two rectangles");
    probe::TraceResult("UpdateWindow", UpdateWindow(Window));
    probe::TraceResult("UpdateWindow again", UpdateWindow(Window));
    probe::TraceResult("InvalidateRect whole", InvalidateRect(Window, nullptr, FALSE));
    TraceUpdateRect("whole");
    probe::TraceResult("ValidateRect", ValidateRect(Window, nullptr));
    TraceUpdateRect("validated");
    RECT overlapping{190, 140, 250, 250};
    probe::TraceResult("InvalidateRect overlapping", InvalidateRect(Window, &overlapping, FALSE));
    TraceUpdateRect("overlapping");
    DefaultPaint = true;
    probe::TraceResult("UpdateWindow", UpdateWindow(Window));
    DefaultPaint = false;
}

// ---- low-priority: a pending paint waits for every posted message, and a due timer waits for
// the paint.

LRESULT LowPriorityHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (message == WM_TIMER && wParam == TickTimer) {
        *handled = true;
        probe::TraceResult("KillTimer", KillTimer(hwnd, TickTimer));
        probe::ScenarioDone();
        return 0;
    }
    return PaintHandler(hwnd, message, wParam, lParam, handled);
}

void LowPriority()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    Window = probe::CreateProbeWindow("window", nullptr, LowPriorityHandler);
    (void)ShowWindow(Window, SW_SHOW);
    (void)UpdateWindow(Window);
    probe::TraceResult("SetTimer",
                       static_cast<long long>(SetTimer(Window, TickTimer, 10, nullptr)));
    probe::TraceResult("InvalidateRect", InvalidateRect(Window, nullptr, TRUE));
    probe::TraceResult("PostMessageA", PostMessageA(Window, WM_PROBE, 1, 0));
    probe::TraceResult("PostMessageA", PostMessageA(Window, WM_PROBE, 2, 0));
    // Well past the timer's period: its tick is due when the loop starts.
    Sleep(200);
    probe::RunScenarioLoop();
}

// ---- erase: without a class brush DefWindowProcA erases nothing and says so, and BeginPaint
// then asks the painter to erase (fErase).

void EraseWithoutBrush()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    RegisterClasses();
    ShowPainted(NoBrushClass);
    RECT r{0, 0, 10, 10};
    probe::TraceResult("InvalidateRect erase", InvalidateRect(Window, &r, TRUE));
    probe::TraceResult("UpdateWindow", UpdateWindow(Window));
}

// ---- fill: FillRect with the stock black brush fills from left/top up to but not including
// right/bottom, clipped to the client area; an upside-down rectangle fills nothing.

void FillAndPixels()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    ShowPainted(nullptr);
    auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    Fill(RECT{10, 10, 20, 20}, black);
    for (POINT p : {POINT{9, 9}, POINT{10, 10}, POINT{19, 19}, POINT{20, 20}, POINT{20, 15}})
        TracePixel(p.x, p.y);
    Fill(RECT{-5, -5, 5, 5}, black);
    TracePixel(0, 0);
    TracePixel(5, 5);
    Fill(RECT{190, 140, 260, 260}, black);
    TracePixel(199, 149);
    TracePixel(200, 150);
    Fill(RECT{30, 30, 25, 25}, black);
    TracePixel(27, 27);
    Fill(RECT{40, 40, 50, 50}, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    TracePixel(45, 45);
}

// ---- icons: DrawIconEx and DrawIcon draw a 32 x 32 picture through its mask: the transparent
// ground keeps what was there, the picture's pixels replace it.

void Icons()
{
    PaintBrush = nullptr;
    DefaultPaint = false;
    ShowPainted(nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    Fill(RECT{0, 0, 40, 40}, red);
    (void)DeleteObject(red);
    auto sparkle = static_cast<HICON>(
        LoadImageA(probe::ModuleInstance(), "JBACK1_ICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    auto jelly = static_cast<HICON>(
        LoadImageA(probe::ModuleInstance(), "JELLY00_ICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    probe::Trace(std::string("LoadImageA ") + (sparkle ? "icon" : "null") + " " +
                 (jelly ? "icon" : "null"));
    HDC dc = GetDC(Window);
    probe::TraceResult("DrawIconEx", DrawIconEx(dc, 0, 0, sparkle, 32, 32, 0, nullptr, DI_NORMAL));
    probe::TraceResult("DrawIcon", DrawIcon(dc, 40, 0, jelly));
    (void)ReleaseDC(Window, dc);
    // The sparkle: transparent corner, red, yellow and white pixels of its picture.
    for (POINT p : {POINT{0, 0}, POINT{15, 10}, POINT{15, 11}, POINT{15, 15}})
        TracePixel(p.x, p.y);
    // The jellyfish on white: its black ground, an aqua dot and a white eye.
    for (POINT p : {POINT{40, 0}, POINT{53, 2}, POINT{50, 10}, POINT{71, 31}, POINT{72, 31}})
        TracePixel(p.x, p.y);
    probe::TraceResult("DestroyIcon", DestroyIcon(sparkle));
    probe::TraceResult("DestroyIcon", DestroyIcon(jelly));
}

// ---- hidden: a window without a class brush loses its picture while hidden; shown again it is
// invalid as a whole and shows what its paint handler paints.

LRESULT HiddenHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    LRESULT result = PaintHandler(hwnd, message, wParam, lParam, handled);
    if (message == WM_PAINT) {
        TracePixel(15, 15);
        probe::ScenarioDone();
    }
    return result;
}

void HiddenLosesContents()
{
    DefaultPaint = false;
    PaintBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClasses();
    ShowPainted(NoBrushClass);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    Fill(RECT{10, 10, 20, 20}, red);
    (void)DeleteObject(red);
    TracePixel(15, 15);
    probe::TraceResult("ShowWindow hide", ShowWindow(Window, SW_HIDE));
    TraceUpdateRect("hidden");
    TracePixel(15, 15);
    probe::TraceResult("ShowWindow show", ShowWindow(Window, SW_SHOW));
    TraceUpdateRect("shown again");
    TracePixel(15, 15);
    PaintBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    probe::SetWindowHandler(Window, HiddenHandler);
    probe::RunScenarioLoop();
}

// ---- client: a full-screen pop-up window's client area is the whole screen.

void FullScreenClient()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND full = probe::CreateProbeWindow("full", nullptr, nullptr, WS_POPUP, WS_EX_TOPMOST);
    (void)MoveWindow(full, 0, 0, width, height, FALSE);
    RECT client{};
    probe::TraceResult("GetClientRect", GetClientRect(full, &client));
    probe::Trace(
        std::string("client is the screen: ") +
        (client.left == 0 && client.top == 0 && client.right == width && client.bottom == height
             ? "yes"
             : "no " + Text(client)));
    probe::TraceResult("DestroyWindow", DestroyWindow(full));
}

constexpr probe::Scenario Scenarios[] = {
    {"show", Show},
    {"invalidate", Invalidate},
    {"low-priority", LowPriority},
    {"erase-without-brush", EraseWithoutBrush},
    {"fill", FillAndPixels},
    {"icons", Icons},
    {"hidden-loses-contents", HiddenLosesContents},
    {"client", FullScreenClient},
};

} // namespace

extern const probe::Area paintArea = {"paint", Scenarios, std::size(Scenarios)};
