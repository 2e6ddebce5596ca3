// Fault injection across a sequence of file operations. An action of the program (confirming a
// dialog that writes a file, say) runs once without failures and then once under every plan of
// failing calls it can meet: each call of a file operation that a run made, failing in turn,
// and, where a failure leads to further calls (a clean-up), each of those failing as well, up to
// a number of failures per run. Before each run the test lays the files out anew; after it, it
// checks what the program left behind.
#pragma once

#include "platform/sim/desktop.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zelmo_test
{

struct FailurePlan {
    // The failing calls: an operation and its nth call within the run (1 the first).
    std::vector<std::pair<sim::FileOperation, int64_t>> calls;
    bool Fails(sim::FileOperation operation) const;
    std::string Describe() const; // "no failure", "write 1", "move 1, delete 1", ...
};

// Runs the plans; returns how many ran.
int ForEachFailurePlan(sim::Desktop &desktop, int maxFailures, const std::function<void()> &prepare,
                       const std::function<void()> &act,
                       const std::function<void(const FailurePlan &)> &check);

} // namespace zelmo_test
