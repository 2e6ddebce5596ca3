// The known differences between Wine and Windows that the probe meets, each with its reason.
// An entry never loosens the comparison: a sim-only scenario is not played under Wine at all,
// and a Wine line stands for exactly one line of one scenario.
#include "exceptions.h"

namespace conformance
{

const std::vector<WineException> &WineExceptions()
{
    static const std::vector<WineException> list = {};
    return list;
}

} // namespace conformance
