// The four dialogs of the sound settings: the two settings pages, adding and deleting a sound
// file.
#pragma once

#include "platform.h"

// Copies the controls of a settings dialog (page 1 or 2) into the group table and Tp.
void DataGet(HWND dialog, int page);

INT_PTR CALLBACK Page1Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page2Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RegistProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeleteProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
