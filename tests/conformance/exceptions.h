// The one list of the probe's known differences between Wine and Windows, which the conformance
// test applies before it requires the simulated desktop's trace and Wine's to be identical.
#pragma once

#include <string>
#include <vector>

namespace conformance
{

enum class ExceptionKind {
    // The scenario's result under Wine depends on the machine; it is played on the sim only.
    SimOnly,
    // Wine writes wineLine where Windows (and so the sim) gives simLine, in that scenario only.
    WineLine,
};

struct WineException {
    const char *scenario; // "area/scenario"
    ExceptionKind kind;
    const char *simLine;  // WineLine only
    const char *wineLine; // WineLine only
    const char *reason;
};

const std::vector<WineException> &WineExceptions();

} // namespace conformance
