// The seam, simulated side, continued: painting (update regions, WM_PAINT, brushes and pixels),
// the mouse (input at a screen point, hit testing, the pointer's shape) and the tool tip control.
// Included by platform.h.
#pragma once

// ---- Messages and codes of painting and the mouse
#define WM_MOUSEACTIVATE 0x0021
#define WM_NCHITTEST 0x0084
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NOTIFY 0x004E
#define WM_MBUTTONUP 0x0208
#define WM_PRINTCLIENT 0x0318
#define PRF_CLIENT 0x00000004L

#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTBORDER 18

#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

// ---- Painting
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT *LPPAINTSTRUCT;

#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define CLR_INVALID 0xFFFFFFFF

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint);
BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint);
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase);
BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect);
BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
COLORREF WINAPI GetPixel(HDC dc, int x, int y);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);

// ---- The mouse and the pointer
#define INPUT_MOUSE 0
#define MOUSEEVENTF_MOVE 0x0001
#define MOUSEEVENTF_LEFTDOWN 0x0002
#define MOUSEEVENTF_LEFTUP 0x0004
#define MOUSEEVENTF_RIGHTDOWN 0x0008
#define MOUSEEVENTF_RIGHTUP 0x0010
#define MOUSEEVENTF_ABSOLUTE 0x8000

struct MOUSEINPUT {
    LONG dx;
    LONG dy;
    DWORD mouseData;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};
// Windows' record also holds keyboard and other hardware input in the union; only the mouse is
// simulated.
struct INPUT {
    DWORD type;
    union {
        MOUSEINPUT mi;
    };
};
typedef INPUT *LPINPUT;

UINT WINAPI SendInput(UINT count, LPINPUT inputs, int size);
HWND WINAPI WindowFromPoint(POINT point);
BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point);
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);
HWND WINAPI GetActiveWindow(void);

#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_HAND MAKEINTRESOURCEA(32649)

HCURSOR WINAPI SetCursor(HCURSOR cursor);
HCURSOR WINAPI GetCursor(void);

// ---- Common controls: the tool tip control (its record and first messages are in
// platform_ui.h)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_POP (WM_USER + 28)
#define LPSTR_TEXTCALLBACKA ((LPSTR)(intptr_t)-1)

void WINAPI InitCommonControls(void);
