// For the simulated desktop's own tests: a test program's window classes and message loop.
#pragma once

#include "platform.h"

namespace zelmo_test
{

// Registers a class of the calling program whose windows the procedure handles.
void RegisterTestClass(const char *name, WNDPROC proc, UINT style = 0, HBRUSH brush = nullptr,
                       HCURSOR cursor = nullptr);
// GetMessageA and DispatchMessageA until the quit message; returns its code.
int RunMessageLoop();

} // namespace zelmo_test
