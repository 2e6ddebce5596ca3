// The program's spine: entry, the hidden main window and the state every part shares (window
// handles, the pause flag and the flags that tell which dialog is open).
#pragma once

#include "platform.h"

extern HINSTANCE hInst;
extern HWND hwndSignal;
extern HWND hwndJelly;
extern char SetUpData[11]; // the application name: class name, class menu, message box caption
extern const char WindowTitle[];

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

void InitZelmoSoundFirst(HINSTANCE instance);
void InitZelmoSoundEvery(HINSTANCE instance, int cmdShow);
LRESULT CALLBACK ZelmoSoundWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Puts this module's state back to its start values (tests start the program afresh).
void ResetMainState();
