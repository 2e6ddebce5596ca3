// The placement of every dialog, and of the time-signal window, near the mouse cursor. It uses
// nothing but the platform, so the conformance probe measures it as it stands.
#include "placement.h"

// Brings the window's bottom-right corner to the cursor; where that would cross the left or top
// screen edge, its top-left corner instead; then pushes it back inside the right and bottom
// edges.
void ZelmoGetWindowPosition(HWND hwnd, POINT *position, int *width, int *height)
{
    POINT cursor;
    GetCursorPos(&cursor);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    int x = cursor.x - w > 0 ? cursor.x - w : cursor.x;
    int y = cursor.y - h > 0 ? cursor.y - h : cursor.y;
    if (x + w > screenWidth) x = screenWidth - w;
    if (y + h > screenHeight) y = screenHeight - h;
    *position = POINT{x, y};
    *width = w;
    *height = h;
}
