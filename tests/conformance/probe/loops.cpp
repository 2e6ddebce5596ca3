// Scenarios of message loops: the order in which posted messages and timer ticks arrive, and
// what destroying an owner does to its owned windows and the messages posted to them.
#include "probe.h"

#include <iterator>

namespace
{

constexpr UINT WM_PROBE = WM_USER + 100;
constexpr UINT_PTR TickTimer = 1;

HWND Owner = nullptr;
HWND Owned = nullptr;
int Ticks = 0;

// Two messages posted before a 10 ms timer starts come first, in order; the timer then ticks
// until the third tick stops it.
LRESULT PostedThenTimerHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM, bool *handled)
{
    if (message != WM_TIMER || wParam != TickTimer) return 0;
    *handled = true;
    if (++Ticks == 3) {
        probe::TraceResult("KillTimer", KillTimer(hwnd, TickTimer));
        probe::ScenarioDone();
    }
    return 0;
}

void PostedThenTimer()
{
    Ticks = 0;
    Owner = probe::CreateProbeWindow("owner", nullptr, PostedThenTimerHandler);
    probe::TraceResult("SetTimer", static_cast<long long>(SetTimer(Owner, TickTimer, 10, nullptr)));
    probe::TraceResult("PostMessageA", PostMessageA(Owner, WM_PROBE, 1, 0));
    probe::TraceResult("PostMessageA", PostMessageA(Owner, WM_PROBE, 2, 0));
    probe::RunScenarioLoop();
}

// Destroying an owner destroys its owned window first, and the message posted to the owned
// window is never handled.
void OwnerDestroyed()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    Owned = probe::CreateProbeWindow("owned", Owner, nullptr);
    probe::TraceResult("PostMessageA owned", PostMessageA(Owned, WM_PROBE, 3, 0));
    probe::TraceResult("DestroyWindow owner", DestroyWindow(Owner));
    probe::TraceResult("IsWindow owned", IsWindow(Owned));
    SetLastError(0);
    probe::TraceResult("PostMessageA owned", PostMessageA(Owned, WM_PROBE, 4, 0), true);
}

// The owner's timer ticks on while a message box it owns is open, and the box disables it.
void TimerInMessageBox()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(
        Owner, {
                   [] {
                       int answer = MessageBoxA(Owner, "Probe question", "Probe box",
                                                MB_YESNO | MB_ICONQUESTION);
                       probe::TraceResult("MessageBoxA", answer);
                       probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
                       probe::ScenarioDone();
                   },
                   [] {
                       HWND box = probe::FindTopWindow("#32770", "Probe box");
                       probe::NameWindow(box, "box");
                       probe::Trace("focus " + probe::Role(GetFocus()));
                       probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(Owner));
                       probe::TraceResult("GetParent box is owner", GetParent(box) == Owner);
                   },
                   [] {},
                   [] { probe::UserClick(probe::FindTopWindow("#32770", "Probe box"), IDNO); },
               });
    probe::RunScenarioLoop();
}

// A quit message posted inside a message box's loop ends the box and comes out again in the
// loop around it.
void QuitInMessageBox()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner,
                     {
                         [] {
                             int answer = MessageBoxA(Owner, "Probe quit", "Probe quit box", MB_OK);
                             probe::TraceResult("MessageBoxA", answer);
                             probe::TraceResult("IsWindow box",
                                                probe::FindTopWindow("#32770", "Probe quit box") !=
                                                    nullptr);
                         },
                         [] { PostQuitMessage(5); },
                     });
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"posted-then-timer", PostedThenTimer},
    {"owner-destroyed", OwnerDestroyed},
    {"timer-in-messagebox", TimerInMessageBox},
    {"quit-in-messagebox", QuitInMessageBox},
};

} // namespace

extern const probe::Area loopsArea = {"loops", Scenarios, std::size(Scenarios)};
