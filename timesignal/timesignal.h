// The hourly time signal: the trigger tested every second and its small top-most window.
#pragma once

#include "platform.h"

extern int SignalFired;     // 1 from the moment this hour's signal was posted until hh:00:02
extern int SignalFrame;     // frames drawn since the window was last shown, 0..9
extern int SignalChar;      // the character of the current showing, 0..4
extern char SignalText[22]; // the hour and "時だよ～ん", seven full-width characters

void ZelmoTimeSignalWin(HWND owner);
void ZelmoTimeSignal();
LRESULT CALLBACK TimeSignalWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void ResetTimeSignalState();
