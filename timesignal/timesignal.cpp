// The time signal's trigger and window. The window is created hidden with the main window and
// is destroyed with it; its animation is not built yet.
#include "timesignal.h"

#include "../app/main.h"
#include "../app/sound.h"

int SignalFired = 0;

void ResetTimeSignalState() { SignalFired = 0; }

void ZelmoTimeSignalWin(HWND owner)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TimeSignalWndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "ZelmoTimeSignal";
    // Neither the class nor the window is tested for success.
    (void)RegisterClassA(&wc);
    hwndSignal = CreateWindowExA(WS_EX_TRANSPARENT | WS_EX_TOPMOST, "ZelmoTimeSignal", "",
                                 WS_POPUP, 0, 0, 140, 70, owner, nullptr, hInst, nullptr);
}

// The signal is posted once per full hour, at the first tick in hh:00:00-hh:00:01, so a single
// late tick does not lose it; the latch re-arms at the first tick outside those two seconds.
void ZelmoTimeSignal()
{
    if (Tp[0] == 0)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wMinute == 0 && now.wSecond <= 1) {
        if (SignalFired == 0) {
            SignalFired = 1;
            PostMessageA(hwndSignal, WM_ZELMO_SIGNAL, 0, 0);
        }
    } else {
        SignalFired = 0;
    }
}

LRESULT CALLBACK TimeSignalWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ZELMO_SIGNAL:
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
