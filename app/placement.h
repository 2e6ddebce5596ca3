// The placement of every dialog, and of the time-signal window, near the mouse cursor.
#pragma once

#include "platform.h"

// The window's bottom-right corner at the cursor; where that would cross the left or top screen
// edge, its top-left corner; then pushed back inside the right and bottom edges. Gives the
// position and the window's current width and height; the caller moves the window.
void ZelmoGetWindowPosition(HWND hwnd, POINT *position, int *width, int *height);
