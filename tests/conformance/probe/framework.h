// The probe's framework, for its own files: the trace file, the windows it made, and the table
// of scenario areas. Scenario areas use probe.h only.
#pragma once

#include "tests/conformance/probe/probe.h"

namespace probe
{

// The trace is written beside the probe's executable under this name.
constexpr char TraceFileName[] = "probe-trace.txt";

extern HINSTANCE Instance;

bool OpenTrace();
void CloseTrace();
void TraceMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void ForgetRoles();

void RegisterProbeClass();
// Destroys what a scenario left open and reports the traced messages still queued.
void EndScenario();

} // namespace probe
