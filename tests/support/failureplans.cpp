// The walk over failure plans of failureplans.h: depth first, each plan run once, the calls a
// run made giving the plans one failure longer.
#include "tests/support/failureplans.h"

#include <algorithm>
#include <map>
#include <set>

namespace zelmo_test
{

namespace
{

const char *OperationName(sim::FileOperation operation)
{
    switch (operation) {
    case sim::FileOperation::Create:
        return "create";
    case sim::FileOperation::Read:
        return "read";
    case sim::FileOperation::Write:
        return "write";
    case sim::FileOperation::Flush:
        return "flush";
    case sim::FileOperation::Move:
        return "move";
    case sim::FileOperation::Copy:
        return "copy";
    case sim::FileOperation::Delete:
        return "delete";
    case sim::FileOperation::SetAttributes:
        return "set attributes";
    case sim::FileOperation::CreateFolder:
        return "create folder";
    case sim::FileOperation::RemoveFolder:
        return "remove folder";
    }
    return "?";
}

struct Explorer {
    sim::Desktop &desktop;
    int maxFailures;
    const std::function<void()> &prepare;
    const std::function<void()> &act;
    const std::function<void(const FailurePlan &)> &check;
    std::set<std::vector<std::pair<sim::FileOperation, int64_t>>> seen;
    int runs = 0;

    void Run(const FailurePlan &plan)
    {
        prepare();
        sim::FileFaults &faults = desktop.Faults();
        faults.ClearFailures();
        std::map<sim::FileOperation, int64_t> before = faults.calls;
        for (const auto &[operation, nth] : plan.calls)
            faults.FailCall(operation, nth);
        act();
        std::map<sim::FileOperation, int64_t> after = faults.calls;
        faults.ClearFailures();
        ++runs;
        check(plan);

        if (static_cast<int>(plan.calls.size()) >= maxFailures) return;
        for (const auto &[operation, count] : after) {
            for (int64_t nth = 1; nth <= count - before[operation]; ++nth) {
                FailurePlan next = plan;
                next.calls.emplace_back(operation, nth);
                std::sort(next.calls.begin(), next.calls.end());
                if (std::adjacent_find(next.calls.begin(), next.calls.end()) != next.calls.end())
                    continue;
                if (seen.insert(next.calls).second) Run(next);
            }
        }
    }
};

} // namespace

bool FailurePlan::Fails(sim::FileOperation operation) const
{
    return std::any_of(calls.begin(), calls.end(),
                       [&](const auto &call) { return call.first == operation; });
}

std::string FailurePlan::Describe() const
{
    if (calls.empty()) return "no failure";
    std::string text;
    for (const auto &[operation, nth] : calls)
        text += (text.empty() ? "" : ", ") + std::string(OperationName(operation)) + " " +
                std::to_string(nth);
    return text;
}

int ForEachFailurePlan(sim::Desktop &desktop, int maxFailures, const std::function<void()> &prepare,
                       const std::function<void()> &act,
                       const std::function<void(const FailurePlan &)> &check)
{
    Explorer explorer{desktop, maxFailures, prepare, act, check, {}};
    explorer.Run(FailurePlan{});
    return explorer.runs;
}

} // namespace zelmo_test
