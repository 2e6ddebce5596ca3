// Scenarios of timers set again and killed: SetTimer on an id that is already running (as the
// program's resume command does) starts its period afresh and drops a tick already due, and
// KillTimer drops a tick already due as well; a timer of another id keeps its own.
#include "tests/conformance/probe/probe.h"

#include <iterator>
#include <string>

namespace
{

constexpr UINT_PTR SlowTimer = 1;
constexpr UINT_PTR FastTimer = 2;

HWND Owner = nullptr;
int FastTicks = 0;

// The ticks of each timer waiting in the queue, taken out of it.
std::string TakePendingTicks(HWND hwnd)
{
    int slow = 0, fast = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (msg.wParam == SlowTimer) ++slow;
        if (msg.wParam == FastTimer) ++fast;
    }
    return "pending: slow " + std::to_string(slow) + ", fast " + std::to_string(fast);
}

// A 2000 ms timer set again on each of 25 ticks of a 100 ms one never ticks while that goes on;
// its first tick comes after the last SetTimer. (A tick of the fast timer would have to come more
// than 1.9 s late for the slow one to tick in between.)
LRESULT RestartHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM, bool *handled)
{
    if (message != WM_TIMER) return 0;
    *handled = true;
    if (wParam == SlowTimer) {
        probe::TraceResult("KillTimer slow", KillTimer(hwnd, SlowTimer));
        probe::ScenarioDone();
    } else if (wParam == FastTimer && ++FastTicks <= 25) {
        UINT_PTR again = SetTimer(hwnd, SlowTimer, 2000, nullptr);
        if (FastTicks == 1 || FastTicks == 25)
            probe::TraceResult("SetTimer slow again", static_cast<long long>(again));
        if (FastTicks == 25) probe::TraceResult("KillTimer fast", KillTimer(hwnd, FastTimer));
    }
    return 0;
}

void SetAgainRestartsPeriod()
{
    FastTicks = 0;
    Owner = probe::CreateProbeWindow("owner", nullptr, RestartHandler);
    probe::TraceResult("SetTimer slow",
                       static_cast<long long>(SetTimer(Owner, SlowTimer, 2000, nullptr)));
    probe::TraceResult("SetTimer fast",
                       static_cast<long long>(SetTimer(Owner, FastTimer, 100, nullptr)));
    probe::RunScenarioLoop();
}

// Both timers have a tick due after the thread was held; one of them is set again (or killed)
// before the queue is read.
void HeldThenChanged(void (*change)(HWND))
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    (void)SetTimer(Owner, SlowTimer, 50, nullptr);
    (void)SetTimer(Owner, FastTimer, 50, nullptr);
    Sleep(400);
    change(Owner);
    probe::Trace(TakePendingTicks(Owner));
    (void)KillTimer(Owner, SlowTimer);
    (void)KillTimer(Owner, FastTimer);
}

void SetAgainWithTickDue()
{
    HeldThenChanged([](HWND hwnd) {
        probe::TraceResult("SetTimer slow again",
                           static_cast<long long>(SetTimer(hwnd, SlowTimer, 50, nullptr)));
    });
}

void KillWithTickDue()
{
    HeldThenChanged([](HWND hwnd) {
        probe::TraceResult("KillTimer slow", KillTimer(hwnd, SlowTimer));
        SetLastError(0);
        probe::TraceResult("KillTimer slow again", KillTimer(hwnd, SlowTimer), true);
    });
}

constexpr probe::Scenario Scenarios[] = {
    {"set-again-restarts-period", SetAgainRestartsPeriod},
    {"set-again-with-tick-due", SetAgainWithTickDue},
    {"kill-with-tick-due", KillWithTickDue},
};

} // namespace

extern const probe::Area timersArea = {"timers", Scenarios, std::size(Scenarios)};
