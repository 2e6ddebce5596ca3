// The conformance probe's own toolkit, shared by its scenario areas: the trace, windows and
// dialogs whose messages are traced, the scenario's message loop, and the user's actions done
// through Windows operations (see README.md for why it acts as the user itself).
//
// A scenario is a plain function. It creates its windows, names each by its role, starts what it
// tests, runs RunScenarioLoop() and calls ScenarioDone() from a handler when it has seen enough.
// What it writes to the trace must come out the same on every run: orders, counts and results,
// never times or handle values.
#pragma once

#include "platform.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace probe
{

// ---- the trace

// Appends one line to the trace of the running scenario.
void Trace(const std::string &line);
// "call -> result", and " error N" with GetLastError when withError is set.
void TraceResult(const std::string &call, long long result, bool withError = false);

// The role a window was given ("owner", "dialog", ...), "dialog#1" for a control of a named
// window, "null" for none, or "?CLASS" for a window the probe did not make or name.
std::string Role(HWND hwnd);
void NameWindow(HWND hwnd, const std::string &role);

// The trace line of a message a window of the probe got, or "" when the message is not one the
// probe traces (see the table in trace.cpp).
std::string DescribeMessage(UINT message, WPARAM wParam, LPARAM lParam);

// ---- windows and dialogs whose traced messages go to the trace

// Called after the message is traced; unhandled messages go on to DefWindowProcA.
using WindowHandler = LRESULT (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  bool *handled);
// A top-level window of the probe's class, hidden unless style says WS_VISIBLE. The role is in
// force from WM_CREATE on.
HWND CreateProbeWindow(const std::string &role, HWND owner, WindowHandler handler,
                       DWORD style = WS_POPUP, DWORD exStyle = 0, const char *className = nullptr);
// Gives a window of the probe another handler from now on.
void SetWindowHandler(HWND hwnd, WindowHandler handler);
// The probe's module instance, for its resources.
HINSTANCE ModuleInstance();
// Registers another class whose windows the probe traces the same way (CreateProbeWindow with
// its name): the probe's own class has CS_DBLCLKS off, the arrow cursor and the white brush.
void RegisterProbeWindowClass(const char *className, UINT style, HBRUSH brush, HCURSOR cursor);

// Runs a dialog of probe.rc modally; its procedure traces, then calls the handler (which
// returns what a dialog procedure returns). The dialog has its role from WM_INITDIALOG on.
INT_PTR RunProbeDialog(int templateId, HWND owner, const std::string &role, DLGPROC handler,
                       LPARAM param = 0);

// ---- the scenario's loop

// GetMessageA and DispatchMessageA until ScenarioDone() or WM_QUIT; traces a WM_QUIT.
void RunScenarioLoop();
void ScenarioDone();

// ---- the user, acting through Windows operations

// The user's script: on each tick of a timer (UserTimer, UserPeriod ms) of the window, the next
// step runs, until none is left. A step may open a modal loop; the ticks go on in it and run the
// following steps there. Steps act at ticks, never after a time, so the trace does not depend on
// the machine's speed.
constexpr UINT_PTR UserTimer = 99;
constexpr UINT UserPeriod = 50;
using Step = std::function<void()>;
void StartUser(HWND window, std::vector<Step> steps);
// Called from a step: the same step runs again at the next tick (a step that waits for a
// condition, or lets ticks pass).
void RepeatStep();
// A step that waits, tick by tick, until the condition holds and then runs `then`; when it does
// not hold within `limit` ticks, the trace says so ("timed out: what") and the steps go on.
Step WaitUntil(const std::string &what, std::function<bool()> condition,
               std::function<void()> then = nullptr, int limit = 250);
// A step that lets that many ticks pass (time in which something must not happen).
Step Pause(int ticks);

// The top-level window of that class and caption ("#32770" for dialogs and message boxes).
HWND FindTopWindow(const char *className, const char *caption);
// A click on a button of a dialog or message box (BM_CLICK, which presses and releases it).
void UserClick(HWND dialog, int id);
// A key pressed: WM_KEYDOWN posted to the focus window (or to the window given, where the
// focus is not the point, as while a popup menu is open), as the keyboard would deliver it, for
// the modal loop that runs to see.
void UserKey(UINT virtualKey, HWND target = nullptr);
// A typed character: WM_CHAR posted the same way (a menu item's mnemonic, or '\r').
void UserChar(char character, HWND target = nullptr);
// A click on a window's close box (WM_SYSCOMMAND SC_CLOSE, as the caption's button sends it).
void UserCloseBox(HWND window);
// Alt+F4 pressed: WM_SYSKEYDOWN for F4 with the Alt key held, posted to the window given, as
// the keyboard delivers it to the window that has the focus.
void UserAltF4(HWND window);
// The mouse, as real input (SendInput with absolute screen coordinates): the pointer moved to a
// screen point; a left or right click there (press and release, moving there first when the
// pointer is elsewhere); a left double click (two clicks at once). Windows delivers each to the
// window under the point when the thread next reads its input.
void UserPointer(int x, int y);
void UserLeftClick(int x, int y);
void UserRightClick(int x, int y);
void UserDoubleClick(int x, int y);
// A request to the user outside the probe (outside.h), for what no input of the probe's own
// reaches; the step after it waits for the effect.
void UserOutside(const char *request);

// ---- scenarios and areas

struct Scenario {
    const char *name;
    void (*run)();
};

struct Area {
    const char *name;
    const Scenario *scenarios;
    size_t count;
};

} // namespace probe
