// The jelly window. It is created hidden with the main window and destroyed with it; the
// jellyfish themselves are not built yet, so the start message does nothing.
#include "jellywindow.h"

#include "../app/main.h"

void ZelmoJellyWin(HWND owner)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = JellyWndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "ZelmoJelly";
    (void)RegisterClassA(&wc);
    hwndJelly = CreateWindowExA(WS_EX_TOPMOST, "ZelmoJelly", "", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), owner,
                                nullptr, hInst, nullptr);
}

LRESULT CALLBACK JellyWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ZELMO_JELLY:
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
