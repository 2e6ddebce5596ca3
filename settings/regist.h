// The register dialog (template 6): copies a wave file the user names into a sound group, under
// the group's next file number in the program folder.
#pragma once

#include "platform.h"

INT_PTR CALLBACK RegistProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the file-open dialog; a file chosen there goes into the file name field.
void ZelmoReference(HWND dialog);
// Copies the file named in the file name field into the selected group, and tells the user
// how that went.
void RegistWave(HWND dialog);
