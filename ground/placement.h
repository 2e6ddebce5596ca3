// Where the program's windows appear: near the mouse cursor, kept on the screen. Every dialog
// places itself so when it opens, and the time-signal window each time it shows.
#pragma once

#include "platform.h"

// The place for the window's bottom-right corner at the cursor (its top-left corner where that
// would cross the left or top screen edge), pushed back inside the right and bottom edges; the
// window's current size in *width and *height. The caller moves the window.
void ZelmoGetWindowPosition(HWND hwnd, POINT *position, int *width, int *height);
// Moves a dialog there, keeping its size, and repaints it.
void PlaceDialog(HWND dialog);
