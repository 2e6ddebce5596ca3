// The tray icon and its menu, the placement of dialogs near the mouse cursor, the About box
// and the help page.
#pragma once

#include "platform.h"

int WhichTime(); // 1 by day (5:00 to 18:59), 0 by night
BOOL ZelmoSetTaskBar(HWND hwnd, DWORD operation);
void ZelmoAddTaskBar(HWND hwnd);
void ZelmoDelTaskBar(HWND hwnd);
void ZelmoModTaskBar(HWND hwnd);
void ZelmoPopupMenu(HWND hwnd);
void ZelmoGetWindowPosition(HWND hwnd, POINT *position, int *width, int *height);
INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ZelmoShowHelp(HWND hwnd);
