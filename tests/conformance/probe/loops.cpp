// Scenarios of message loops: the order in which posted messages and timer ticks arrive, what
// destroying an owner does to its owned windows and the messages posted to them, timers in a
// message box, a quit message inside nested loops, and the ticks due after a handler that held
// the thread.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/probe_resource.h"
#include "tests/conformance/probe/workfolder.h"

#include <iterator>
#include <string>

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

// A handler that holds the thread (Sleep, Beep, a synchronous sound) for 2.3 s while two timers
// run (1000 ms and 400 ms): afterwards each has one tick pending, never a burst.
constexpr UINT_PTR SlowTimer = 1;
constexpr UINT_PTR FastTimer = 2;
void (*Hold)() = nullptr;

LRESULT HeldHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM, bool *handled)
{
    if (message != WM_TIMER || wParam == probe::UserTimer) return 0;
    *handled = true;
    if (wParam != SlowTimer) return 0;
    Hold();
    int slow = 0, fast = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++(msg.wParam == SlowTimer ? slow : fast);
    probe::Trace("pending after the hold: slow " + std::to_string(slow) + ", fast " +
                 std::to_string(fast));
    (void)KillTimer(hwnd, SlowTimer);
    (void)KillTimer(hwnd, FastTimer);
    probe::ScenarioDone();
    return 0;
}

void HeldThenTimers(void (*hold)())
{
    Hold = hold;
    Owner = probe::CreateProbeWindow("owner", nullptr, HeldHandler);
    (void)SetTimer(Owner, SlowTimer, 1000, nullptr);
    (void)SetTimer(Owner, FastTimer, 400, nullptr);
    probe::RunScenarioLoop();
}

void SleepThenTimers()
{
    HeldThenTimers([] { Sleep(2300); });
}

void BeepThenTimers()
{
    HeldThenTimers([] { probe::TraceResult("Beep", Beep(440, 2300)); });
}

// A PCM wave file of 2.3 s of silence beside the probe, played synchronously.
void SyncSoundThenTimers()
{
    HeldThenTimers([] {
        (void)probe::MakeFile("probe-hold.wav", probe::WaveBytes(2300));
        probe::TraceResult("PlaySoundA",
                           PlaySoundA("probe-hold.wav", nullptr, SND_FILENAME | SND_SYNC));
        (void)DeleteFileA("probe-hold.wav");
    });
}

// A quit message posted inside a dialog's loop ends the dialog with its default button's id.
INT_PTR CALLBACK QuitDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

void QuitInDialog()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner, {
                                [] {
                                    probe::TraceResult("DialogBoxParamA",
                                                       probe::RunProbeDialog(IDD_PROBE, Owner,
                                                                             "dialog", QuitDialog));
                                },
                                [] {},
                                [] { PostQuitMessage(6); },
                            });
    probe::RunScenarioLoop();
}

// The same in a Yes/No box whose second button is the default.
void QuitInYesNoBox()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner,
                     {
                         [] {
                             probe::TraceResult("MessageBoxA",
                                                MessageBoxA(Owner, "Probe quit", "Probe quit box",
                                                            MB_YESNO | MB_DEFBUTTON2));
                         },
                         [] { PostQuitMessage(7); },
                     });
    probe::RunScenarioLoop();
}

// And inside a popup menu's loop.
void QuitInMenu()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(Owner, {
                                [] {
                                    HMENU menu = CreatePopupMenu();
                                    (void)AppendMenuA(menu, MF_STRING, 1, "&One");
                                    (void)SetForegroundWindow(Owner);
                                    probe::TraceResult("TrackPopupMenu",
                                                       TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300,
                                                                      0, Owner, nullptr));
                                    (void)DestroyMenu(menu);
                                },
                                [] { PostQuitMessage(8); },
                                [] {},
                                [] { probe::UserKey(VK_ESCAPE, Owner); },
                                [] { probe::ScenarioDone(); },
                            });
    probe::RunScenarioLoop();
}

// Alt+F4 on a shown top-most pop-up without a system menu, owned by a hidden window: the key's
// default handling posts WM_SYSCOMMAND SC_CLOSE, whose default handling sends WM_CLOSE, whose
// default handling destroys the window. Its WM_DESTROY posts the quit message, which ends the
// loop while the hidden owner still stands; the owner can then be closed after the loop.
LRESULT AltF4Handler(HWND hwnd, UINT message, WPARAM wParam, LPARAM, bool *)
{
    if (message == WM_SYSKEYDOWN)
        probe::Trace(probe::Role(hwnd) + ": WM_SYSKEYDOWN " + std::to_string(wParam));
    if (message == WM_SYSCOMMAND)
        probe::Trace(probe::Role(hwnd) + ": WM_SYSCOMMAND " +
                     ((wParam & 0xFFF0) == SC_CLOSE ? "SC_CLOSE" : "other"));
    if (message == WM_DESTROY && hwnd == Owned) PostQuitMessage(0);
    return 0;
}

void AltF4EndsLoop()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, AltF4Handler);
    Owned = probe::CreateProbeWindow("popup", Owner, AltF4Handler, WS_POPUP, WS_EX_TOPMOST);
    (void)MoveWindow(Owned, 0, 0, 200, 150, FALSE);
    (void)ShowWindow(Owned, SW_SHOW);
    (void)UpdateWindow(Owned);
    probe::StartUser(Owner, {probe::Pause(2), [] { probe::UserAltF4(Owned); }});
    probe::RunScenarioLoop();
    probe::TraceResult("IsWindow popup", IsWindow(Owned));
    probe::TraceResult("IsWindow owner", IsWindow(Owner));
    probe::TraceResult("SendMessageA owner WM_CLOSE", SendMessageA(Owner, WM_CLOSE, 0, 0));
    probe::TraceResult("IsWindow owner", IsWindow(Owner));
}

constexpr probe::Scenario Scenarios[] = {
    {"posted-then-timer", PostedThenTimer},
    {"owner-destroyed", OwnerDestroyed},
    {"timer-in-messagebox", TimerInMessageBox},
    {"quit-in-messagebox", QuitInMessageBox},
    {"quit-in-yesno-box", QuitInYesNoBox},
    {"quit-in-dialog", QuitInDialog},
    {"quit-in-menu", QuitInMenu},
    {"sleep-then-timers", SleepThenTimers},
    {"beep-then-timers", BeepThenTimers},
    {"sync-sound-then-timers", SyncSoundThenTimers},
    {"alt-f4-ends-loop", AltF4EndsLoop},
};

} // namespace

extern const probe::Area loopsArea = {"loops", Scenarios, std::size(Scenarios)};
