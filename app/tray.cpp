// The tray icon and its menu, window placement, the About box and help. Not built yet: the
// program has no visible presence so far and answers only through posted commands.
#include "tray.h"

int WhichTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour >= 5 && now.wHour <= 18 ? 1 : 0;
}

BOOL ZelmoSetTaskBar(HWND hwnd, DWORD operation)
{
    (void)hwnd;
    (void)operation;
    return FALSE;
}

void ZelmoAddTaskBar(HWND hwnd) { (void)ZelmoSetTaskBar(hwnd, 0); }
void ZelmoDelTaskBar(HWND hwnd) { (void)ZelmoSetTaskBar(hwnd, 2); }
void ZelmoModTaskBar(HWND hwnd) { (void)hwnd; }
void ZelmoPopupMenu(HWND hwnd) { (void)hwnd; }

void ZelmoGetWindowPosition(HWND hwnd, POINT *position, int *width, int *height)
{
    (void)hwnd;
    *position = POINT{0, 0};
    *width = *height = 0;
}

INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)dialog;
    (void)message;
    (void)wParam;
    (void)lParam;
    return FALSE;
}

void ZelmoShowHelp(HWND hwnd) { (void)hwnd; }
