// Scenarios of the message queue: GetMessageA's and PeekMessageA's window and range filters, a
// filtered wait while other messages queue, the quit message against a filter, thread messages,
// and the time and cursor position a message carries (GetMessageTime, GetMessagePos).
#include "tests/conformance/probe/probe.h"

#include <iterator>
#include <string>

namespace
{

constexpr UINT WM_PROBE = WM_USER + 100;
HWND First = nullptr;
HWND Second = nullptr;

void TraceGot(const char *call, BOOL got, const MSG &msg)
{
    if (!got) {
        probe::Trace(std::string(call) + " -> 0");
        return;
    }
    std::string what = msg.message == WM_QUIT
                           ? "WM_QUIT " + std::to_string(msg.wParam)
                           : probe::DescribeMessage(msg.message, msg.wParam, msg.lParam);
    probe::Trace(std::string(call) + " -> " + probe::Role(msg.hwnd) + ": " + what);
}

void Filters()
{
    First = probe::CreateProbeWindow("first", nullptr, nullptr);
    Second = probe::CreateProbeWindow("second", nullptr, nullptr);
    (void)PostMessageA(First, WM_PROBE, 1, 0);
    (void)PostMessageA(Second, WM_PROBE, 2, 0);
    (void)PostMessageA(First, WM_PROBE + 1, 3, 0);
    (void)PostMessageA(nullptr, WM_PROBE, 4, 0);
    MSG msg;
    TraceGot("GetMessageA second", GetMessageA(&msg, Second, 0, 0), msg);
    TraceGot("PeekMessageA range +1",
             PeekMessageA(&msg, nullptr, WM_PROBE + 1, WM_PROBE + 1, PM_REMOVE), msg);
    TraceGot("PeekMessageA second", PeekMessageA(&msg, Second, 0, 0, PM_REMOVE), msg);
    TraceGot("PeekMessageA thread",
             PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE), msg);
    TraceGot("PeekMessageA first keep", PeekMessageA(&msg, First, 0, 0, PM_NOREMOVE), msg);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
    // A quit message comes whatever the range.
    PostQuitMessage(3);
    (void)PostMessageA(First, WM_PROBE, 5, 0);
    TraceGot("PeekMessageA range +2",
             PeekMessageA(&msg, nullptr, WM_PROBE + 2, WM_PROBE + 2, PM_REMOVE), msg);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
}

// A loop that waits for one window's messages sleeps while another window's message and timer
// ticks queue; they are there afterwards, the ticks as one.
void FilteredWait()
{
    First = probe::CreateProbeWindow("first", nullptr, nullptr);
    Second = probe::CreateProbeWindow("second", nullptr, nullptr);
    (void)PostMessageA(Second, WM_PROBE, 1, 0);
    (void)SetTimer(Second, 1, 50, nullptr);
    (void)SetTimer(First, 2, 500, nullptr);
    MSG msg;
    TraceGot("GetMessageA first", GetMessageA(&msg, First, 0, 0), msg);
    (void)KillTimer(First, 2);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
    (void)KillTimer(Second, 1);
    TraceGot("PeekMessageA all", PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg);
}

// A posted message carries the time and the cursor position of its posting.
DWORD PostedFrom = 0;
DWORD PostedTo = 0;

LRESULT TimeHandler(HWND, UINT message, WPARAM wParam, LPARAM, bool *handled)
{
    if (message == WM_PROBE) {
        *handled = true;
        DWORD time = GetMessageTime();
        DWORD pos = GetMessagePos();
        probe::TraceResult("time is the posting's", time - PostedFrom <= PostedTo - PostedFrom);
        probe::TraceResult("time before now", static_cast<LONG>(GetTickCount() - time) >= 0);
        probe::TraceResult("pos x", static_cast<short>(LOWORD(pos)));
        probe::TraceResult("pos y", static_cast<short>(HIWORD(pos)));
        POINT cursor;
        (void)GetCursorPos(&cursor);
        probe::TraceResult("cursor x", cursor.x);
        (void)SetCursorPos(40, 50);
        return 0;
    }
    if (message == WM_TIMER && wParam == 5) {
        *handled = true;
        (void)KillTimer(First, 5);
        DWORD pos = GetMessagePos();
        probe::TraceResult("timer pos x", static_cast<short>(LOWORD(pos)));
        probe::TraceResult("timer pos y", static_cast<short>(HIWORD(pos)));
        probe::ScenarioDone();
    }
    return 0;
}

void TimeAndPosition()
{
    First = probe::CreateProbeWindow("first", nullptr, TimeHandler);
    (void)SetCursorPos(10, 20);
    PostedFrom = GetTickCount();
    (void)PostMessageA(First, WM_PROBE, 1, 0);
    PostedTo = GetTickCount();
    (void)SetCursorPos(30, 20);
    (void)SetTimer(First, 5, 100, nullptr);
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"filters", Filters},
    {"filtered-wait", FilteredWait},
    {"time-and-position", TimeAndPosition},
};

} // namespace

extern const probe::Area queuesArea = {"queues", Scenarios, std::size(Scenarios)};
