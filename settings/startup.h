// Putting a shortcut to the program into the user's Startup folder, so that it starts with
// Windows.
#pragma once

#include "platform.h"

// Asks the user, then creates the shortcut; every failure ends silently.
void ZelmoStartup(HWND owner);
// Saves a shortcut to target in folder; 1 when the shortcut file was saved, else 0.
int ZelmoCreateLink(LPCSTR target, LPCSTR folder);
