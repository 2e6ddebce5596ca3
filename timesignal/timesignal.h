// The hourly time signal: the trigger tested every second and its small top-most window.
#pragma once

#include "platform.h"

extern int SignalFired; // 1 from the moment this hour's signal was posted until hh:00:02

void ZelmoTimeSignalWin(HWND owner);
void ZelmoTimeSignal();
LRESULT CALLBACK TimeSignalWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void ResetTimeSignalState();
