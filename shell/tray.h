// The tray icon, its day, night and paused pictures, and its menu.
#pragma once

#include "platform.h"

int WhichTime(); // 1 by day (5:00 to 18:59), 0 by night
BOOL ZelmoSetTaskBar(HWND hwnd, DWORD operation);
void ZelmoAddTaskBar(HWND hwnd);
void ZelmoDelTaskBar(HWND hwnd);
void ZelmoModTaskBar(HWND hwnd);
void ZelmoPopupMenu(HWND hwnd);
