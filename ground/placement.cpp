// Placing windows near the mouse cursor. It uses nothing but the platform, so the conformance
// probe measures it as it stands.
#include "ground/placement.h"

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

void PlaceDialog(HWND dialog)
{
    POINT position;
    int width, height;
    ZelmoGetWindowPosition(dialog, &position, &width, &height);
    MoveWindow(dialog, position.x, position.y, width, height, TRUE);
}
