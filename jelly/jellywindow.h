// The jelly window: a full-screen, top-most, black window, made hidden with the main window, in
// which the jellyfish swim from the start message until the user ends them with the right mouse
// button or nobody is left. It also turns the pointer into a cross over a hidden character and
// marks what a left click hits.
#pragma once

#include "platform.h"

constexpr UINT_PTR JELLY_TIMER = 106; // one jelly tick
constexpr UINT JellyTickMillis = 300;

extern HCURSOR JCursor[3]; // 0: the shape set last; 1: the arrow; 2: the cross

// Declares the window class "ZelmoJelly" and makes the hidden window, owned by the given one,
// into hwndJelly.
void ZelmoJellyWin(HWND owner);
LRESULT CALLBACK JellyWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// One jelly tick, as the window's timer runs it: decide, draw, count (nobody left: the beep,
// the message and the stop), bring the tool tips up to date.
void JellyTick(HWND hwnd);

// The pointer at the packed client point (x low, y high, both unsigned): a cross over a living
// hidden character's square (both ends included), else the arrow; set only when it changes.
void CheckCursor(LPARAM point);
// Marks every living slot whose square holds the packed point as clicked.
void CheckLeftCrick(LPARAM point);

// The program ends while the jellyfish run (its close, the end of the Windows session): they
// are saved as a stop saves them, never over a jelly file that was there but could not be read
// at their start. Nothing is saved when they do not run.
void SaveRunningJellyfish();

// Puts this module's state back to its start values.
void ResetJellyWindowState();
