// What the user reads about the program: the About box (template 702) and the help page.
#pragma once

#include "platform.h"

INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opens the help page beside the program in the default browser.
void ZelmoShowHelp(HWND hwnd);
