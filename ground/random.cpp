// The program's pseudo-random generator and its seed source.
#include "ground/random.h"

#include "platform.h"

namespace
{
uint32_t State = 0;
}

namespace Prng
{

void srand(uint32_t seed)
{
    State = seed;
}

int rand()
{
    State = State * 22695477u + 1u;
    return static_cast<int>((State >> 16) & 0x7FFF);
}

} // namespace Prng

int64_t CalendarSeconds()
{
    // FILETIME counts 100-nanosecond intervals since 1601-01-01 UTC.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}
