// The state every part of the program shares: the program's module, the time-signal and jelly
// windows, the application name, the pause flag and the flags that tell which dialog is open;
// and the private messages and the main window's timer by which the parts reach each other.
#pragma once

#include "platform.h"

extern HINSTANCE hInst;
extern HWND hwndSignal;
extern HWND hwndJelly;
extern char SetUpData[11]; // the application name: class name, class menu, message box caption

extern int Executing;  // 1 while ambient playback runs, 0 while paused
extern int Property1;  // first sound settings dialog open
extern int Property2;  // second sound settings dialog open
extern int RegistDlg;  // add-a-sound-file dialog open
extern int DeleteDlg;  // delete-a-sound-file dialog open
extern int ZelmoAbout; // About box open
extern int ZelmoJelly; // the jellyfish run

// Private messages
constexpr UINT WM_ZELMO_TRAY = WM_USER + 1;   // tray icon report, mouse message in lParam
constexpr UINT WM_ZELMO_MENU = WM_USER + 2;   // open the tray menu
constexpr UINT WM_ZELMO_SIGNAL = WM_USER + 8; // show the time signal
constexpr UINT WM_ZELMO_JELLY = WM_USER + 9;  // start the jellyfish

constexpr UINT_PTR ZELMO_TIMER = 101; // the main window's once-a-second tick

// Puts the shared state back to its start values (tests start the program afresh).
void ResetSharedState();
