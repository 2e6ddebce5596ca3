// The program's one pseudo-random generator, and the calendar time it is seeded with.
//
// It is the program's own, not the C runtime's, so that every build draws the same numbers:
// 32-bit state, state = state * 22695477 + 1 per draw, yielding bits 16 to 30 (0..32767).
// The order of draws across the program is part of its behaviour.
#pragma once

#include <cstdint>

namespace Prng
{

void srand(uint32_t seed);
int rand();

} // namespace Prng

// Current calendar time in whole seconds since 1970-01-01 00:00 UTC, as time() gives it.
int64_t CalendarSeconds();
