// The program's spine: the entry, the single-instance test and the hidden main window, which
// receives every event of the program (the one-second tick, the tray icon's reports and the tray
// menu's commands) and starts and ends every other part.
#pragma once

#include "ground/globals.h"

void InitZelmoSoundFirst(HINSTANCE instance);
void InitZelmoSoundEvery(HINSTANCE instance, int cmdShow);
LRESULT CALLBACK ZelmoSoundWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Puts this module's state back to its start values (tests start the program afresh).
void ResetMainState();
