// Counts the heap allocations that the program's own code makes, for benchmarks and for the
// test that the per-tick paths allocate nothing.
//
// Linking this library replaces the global operator new and delete of the executable. While
// counting is on, an allocation is counted only when the thread that makes it runs the
// program's code by the simulated desktop's reckoning (sim::RunningCode(), see codeowner.h):
// inside a window, dialog or timer procedure or the entry point, and not inside a Windows
// operation that it calls. So the sim's own logs, queues and framebuffers do not count, and
// neither does anything a test or the benchmark library does. Allocations made with malloc
// directly are not seen; the program's code uses none.
#pragma once

#include <cstdint>

namespace zelmo_bench
{

struct Allocations {
    int64_t count = 0;
    int64_t bytes = 0;
};

// Starts counting from zero.
void StartCountingAllocations();
// Stops counting and answers what was counted since the start.
Allocations StopCountingAllocations();

// The heap blocks that the program's code took and that are not yet released, whoever
// releases them, counted from the start of the process whether counting is on or not: what a
// program that stays resident keeps. Each block remembers who took it.
int64_t ProgramBlocksOutstanding();

} // namespace zelmo_bench
