// The tray icon and its menu, the About box and the help page; with them, the placement of
// dialogs near the mouse cursor (placement.h).
#pragma once

#include "placement.h"
#include "platform.h"

int WhichTime(); // 1 by day (5:00 to 18:59), 0 by night
BOOL ZelmoSetTaskBar(HWND hwnd, DWORD operation);
void ZelmoAddTaskBar(HWND hwnd);
void ZelmoDelTaskBar(HWND hwnd);
void ZelmoModTaskBar(HWND hwnd);
void ZelmoPopupMenu(HWND hwnd);
INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ZelmoShowHelp(HWND hwnd);
