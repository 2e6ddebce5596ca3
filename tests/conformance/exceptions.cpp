// The known differences between Wine and Windows that the probe meets, each with its reason.
// An entry never loosens the comparison: a sim-only scenario is not played under Wine at all,
// and a Wine line stands for exactly one line of one scenario.
#include "exceptions.h"

namespace conformance
{

const std::vector<WineException> &WineExceptions()
{
    static const std::vector<WineException> list = {
        {"loops/beep-then-timers", ExceptionKind::SimOnly, nullptr, nullptr,
         "how long Beep holds the thread depends on the machine: under Wine without a sound "
         "device it returns at once, on Windows when the tone has sounded"},
        {"loops/sync-sound-then-timers", ExceptionKind::SimOnly, nullptr, nullptr,
         "a synchronous sound depends on the machine's sound device: under Wine without one "
         "PlaySoundA fails at once, on Windows it returns when the sound has played"},
    };
    return list;
}

} // namespace conformance
