// One run of ZelmoSound on a fresh simulated desktop, as the runner's options say: lay out the
// program folder, start the program, let virtual time pass while doing the script's actions and
// taking snapshots, and write every event as a line of JSON.
#pragma once

#include "tools/simrunner/options.h"

#include <ostream>

namespace simrunner
{

// Writes the event log to out and any failure to err; returns the process exit code: 0 for a
// run done, 2 for a bad input (file, script line, snapshot), 1 when the simulation fails.
int Run(const Options &options, std::ostream &out, std::ostream &err);

} // namespace simrunner
