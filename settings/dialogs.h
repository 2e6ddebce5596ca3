// The two sound settings dialogs: groups and interval classes, the time signal.
#pragma once

#include "platform.h"

// Copies the controls of a settings dialog (page 1 or 2) into the group table and Tp.
void DataGet(HWND dialog, int page);

INT_PTR CALLBACK Page1Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page2Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
