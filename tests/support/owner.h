// A program with one hidden owner window and a message loop, nothing else: tests of the
// simulated desktop's own behaviour run their calls on its thread (Desktop::Input), where
// GetLastError means what it does on Windows and modal loops can run.
#pragma once

#include "platform.h"

namespace zelmo_test
{

// The owner window of the running program, from its start on.
extern HWND OwnerWindow;

int WINAPI OwnerProgram(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow);

} // namespace zelmo_test
