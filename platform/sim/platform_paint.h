// The seam, simulated side, continued: painting (update regions, WM_PAINT, brushes and pixels),
// the mouse (input at a screen point, hit testing, the pointer's shape), the tool tip control
// and wsprintfA. Included by platform.h.
#pragma once

// ---- Messages and codes of painting and the mouse
#define WM_MOUSEACTIVATE 0x0021
#define WM_NCHITTEST 0x0084
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NOTIFY 0x004E
#define WM_MBUTTONUP 0x0208

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
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
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
BOOL WINAPI SetCursorPos(int x, int y);
HWND WINAPI WindowFromPoint(POINT point);
BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point);
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);
HWND WINAPI GetActiveWindow(void);
LONG WINAPI GetMessageTime(void);
DWORD WINAPI GetMessagePos(void);
DWORD WINAPI GetTickCount(void);
UINT WINAPI GetDoubleClickTime(void);

#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_HAND MAKEINTRESOURCEA(32649)

HCURSOR WINAPI SetCursor(HCURSOR cursor);
HCURSOR WINAPI GetCursor(void);

// ---- Common controls: the tool tip control
#define TOOLTIPS_CLASSA "tooltips_class32"
#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_SUBCLASS 0x0010
#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_DELTOOLA (WM_USER + 5)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_SETTOOLINFOA (WM_USER + 9)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_POP (WM_USER + 28)

struct TTTOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
    void *lpReserved;
};
typedef TTTOOLINFOA TOOLINFOA;
typedef TTTOOLINFOA *LPTTTOOLINFOA;
// The first layout of the record: up to and including the text.
#define TTTOOLINFOA_V1_SIZE (offsetof(TTTOOLINFOA, lpszText) + sizeof(LPSTR))
#define LPSTR_TEXTCALLBACKA ((LPSTR)(intptr_t)-1)

void WINAPI InitCommonControls(void);

// ---- Formatted text, as user32 formats it (the conversions ZelmoSound uses: d i u x X c s %,
// with the flags - and 0, a width, a precision for strings and the l size)
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
