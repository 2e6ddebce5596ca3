// The jelly window: a hidden full-screen window in which the jellyfish swim when started.
#pragma once

#include "platform.h"

void ZelmoJellyWin(HWND owner);
LRESULT CALLBACK JellyWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
