// Simulated message queues, timers and the message loop, as Windows and Wine deliver them:
// messages sent from outside the thread (the shell's tray reports, sent with SendNotifyMessage)
// are handled first, straight by the window procedure and whatever the filter; then posted
// messages, then the quit message, then input, then mouse messages, then paint requests, then
// timer messages, with at most one pending tick per timer. GetMessageA and PeekMessageA honour
// their window and range filters. Each retrieved message carries the tick count and the cursor
// position of when it was posted (a timer tick or a paint request: of when it was retrieved; a
// mouse message: of its input), which GetMessageTime and GetMessagePos then answer. A loop that
// waits with a filter sleeps until a message it takes is there, however many others queue
// meanwhile.
#include "platform/sim/internal.h"

#include <algorithm>

namespace sim
{

namespace
{

// The simulated machine has been up this long when the desktop's clock starts.
constexpr Millis UptimeAtStart = 3600 * 1000;

bool InRange(UINT message, UINT min, UINT max)
{
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

void CheckFilter(const MessageFilter &filter)
{
    if (filter.max != 0 && filter.min > filter.max)
        throw SimulationError(
            "a message filter whose minimum exceeds its maximum is not simulated");
}

MSG Stamped(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return MSG{hwnd, message, wParam, lParam, GetTickCount(), S().cursor};
}

void Retrieved(Process *process, const MSG &msg)
{
    process->messageTime = msg.time;
    process->messagePos = static_cast<DWORD>(MAKELONG(msg.pt.x, msg.pt.y));
}

// Handles the messages sent to the thread from outside it.
void HandleSent(Process *process)
{
    while (!process->sent.empty()) {
        MSG msg = process->sent.front();
        process->sent.pop_front();
        if (WindowObject *window = FindWindowObject(msg.hwnd))
            SendToWindow(window, msg.message, msg.wParam, msg.lParam);
    }
}

} // namespace

bool ForWindow(HWND target, HWND filter)
{
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return target == nullptr;
    // A window's filter takes its children's messages too.
    for (HWND hwnd = target; hwnd;) {
        if (hwnd == filter) return true;
        WindowObject *window = FindWindowObject(hwnd);
        hwnd = window ? window->parent : nullptr;
    }
    return false;
}

LRESULT SendToWindow(WindowObject *window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window->proc) return 0;
    // The program's window procedure, or one of the desktop's own (which marks itself).
    ProgramCode program;
    return window->proc(window->handle, message, wParam, lParam);
}

void PurgeMessages(HWND hwnd)
{
    for (auto &process : S().processes) {
        for (auto *queue : {&process->posted, &process->sent})
            queue->erase(std::remove_if(queue->begin(), queue->end(),
                                        [&](const MSG &m) { return m.hwnd == hwnd; }),
                         queue->end());
    }
}

bool HasWork(Process *process)
{
    if (process->finished) return false;
    if (!process->sent.empty() || !process->input.empty() || process->quitPosted) return true;
    const MessageFilter &filter = process->waitingFor;
    for (const MSG &msg : process->posted)
        if (ForWindow(msg.hwnd, filter.hwnd) && InRange(msg.message, filter.min, filter.max))
            return true;
    // Mouse input is read only by a loop that takes every message.
    if (!process->mouse.empty() && filter.hwnd == nullptr && filter.min == 0 && filter.max == 0)
        return true;
    MSG paint;
    if (InRange(WM_PAINT, filter.min, filter.max) && NextPaintMessage(process, &paint, filter.hwnd))
        return true;
    if (!InRange(WM_TIMER, filter.min, filter.max)) return false;
    const Desktop::State &state = S();
    for (const Timer &timer : state.timers)
        if (timer.process == process && (timer.pending || timer.nextDue <= state.now) &&
            ForWindow(timer.hwnd, filter.hwnd))
            return true;
    return false;
}

void CollectDueTimers(Process *process)
{
    Desktop::State &state = S();
    for (Timer &timer : state.timers) {
        if (timer.process != process || timer.nextDue > state.now) continue;
        timer.pending = true;
        while (timer.nextDue <= state.now)
            timer.nextDue += timer.period;
    }
}

void SendNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WindowObject *window = FindWindowObject(hwnd))
        window->process->sent.push_back(Stamped(hwnd, message, wParam, lParam));
}

bool TakeMessage(MSG *msg, const MessageFilter &filter, bool remove)
{
    Process *process = CurrentProcess();
    CheckFilter(filter);
    HandleSent(process);
    auto &posted = process->posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!ForWindow(it->hwnd, filter.hwnd) || !InRange(it->message, filter.min, filter.max))
            continue;
        *msg = *it;
        if (remove) posted.erase(it);
        Retrieved(process, *msg);
        return true;
    }
    // The quit message comes whatever the filter.
    if (process->quitPosted) {
        if (remove) process->quitPosted = false;
        *msg = Stamped(nullptr, WM_QUIT, static_cast<WPARAM>(process->quitCode), 0);
        return true;
    }
    if (remove && !process->input.empty()) {
        auto action = std::move(process->input.front());
        process->input.pop_front();
        action();
        // Hand the loop a message of no consequence, so that a modal loop looks at its state
        // again before waiting.
        *msg = Stamped(nullptr, WM_NULL, 0, 0);
        return true;
    }
    // Then the mouse, then paint requests, then timers: the order Windows keeps. The window a
    // mouse message goes to is found only as it is read, so only a read that removes and has no
    // filter takes mouse input; any other read leaves it queued.
    bool unfiltered = !filter.hwnd && filter.min == 0 && filter.max == 0;
    if (remove && unfiltered && NextMouseMessage(process, msg)) {
        Retrieved(process, *msg);
        return true;
    }
    if (InRange(WM_PAINT, filter.min, filter.max) && NextPaintMessage(process, msg, filter.hwnd)) {
        *msg = Stamped(msg->hwnd, WM_PAINT, 0, 0);
        Retrieved(process, *msg);
        return true;
    }
    if (!InRange(WM_TIMER, filter.min, filter.max)) return false;
    CollectDueTimers(process);
    for (Timer &timer : S().timers) {
        if (!timer.pending || timer.process != process || !ForWindow(timer.hwnd, filter.hwnd))
            continue;
        if (remove) timer.pending = false;
        *msg = Stamped(timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc));
        Retrieved(process, *msg);
        return true;
    }
    return false;
}

bool NextMessage(MSG *msg, const MessageFilter &filter, const std::function<void()> &onIdle)
{
    Process *process = CurrentProcess();
    if (++process->messagesSinceYield > 1000000)
        throw SimulationError("a program handled a million messages without becoming idle, at " +
                              FormatTime(S().now));
    for (;;) {
        if (TakeMessage(msg, filter, true)) return msg->message != WM_QUIT;
        if (onIdle) {
            onIdle();
            if (TakeMessage(msg, filter, true)) return msg->message != WM_QUIT;
        }
        process->waitingFor = filter;
        Yield();
    }
}

std::map<UINT, int64_t> Desktop::Dispatched(HWND hwnd) const
{
    auto it = state_->dispatched.find(hwnd);
    return it == state_->dispatched.end() ? std::map<UINT, int64_t>{} : it->second;
}

int Desktop::ActiveTimers() const
{
    return static_cast<int>(state_->timers.size());
}

void Desktop::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = state_->windows.find(hwnd);
    if (it == state_->windows.end()) return;
    it->second->process->posted.push_back(Stamped(hwnd, message, wParam, lParam));
    RunUntilIdle();
}

} // namespace sim

using namespace sim;

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    PlatformCode platform;
    return NextMessage(msg, MessageFilter{hwnd, filterMin, filterMax}) ? TRUE : FALSE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    PlatformCode platform;
    if (removeMsg & ~static_cast<UINT>(PM_REMOVE | PM_NOYIELD))
        throw SimulationError("PeekMessageA: only PM_REMOVE and PM_NOYIELD are simulated");
    return TakeMessage(msg, MessageFilter{hwnd, filterMin, filterMax}, removeMsg & PM_REMOVE)
               ? TRUE
               : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *msg)
{
    PlatformCode platform;
    // A key that types a character gives WM_CHAR behind it, as the keyboard layout says (no
    // shift state is simulated: letters come in lower case).
    if (msg->message != WM_KEYDOWN) return FALSE;
    WPARAM key = msg->wParam;
    WPARAM character = 0;
    if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB || key == VK_SPACE ||
        key == VK_BACK || (key >= '0' && key <= '9'))
        character = key;
    else if (key >= 'A' && key <= 'Z')
        character = key - 'A' + 'a';
    if (!character) return FALSE;
    (void)PostMessageA(msg->hwnd, WM_CHAR, character, msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    PlatformCode platform;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        ProgramCode program;
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    WindowObject *window = FindWindowObject(msg->hwnd);
    if (!window) return 0;
    ++S().dispatched[msg->hwnd][msg->message];
    return SendToWindow(window, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    if (!hwnd) {
        // A thread message, for the calling thread's loops.
        CurrentProcess()->posted.push_back(Stamped(nullptr, message, wParam, lParam));
        return TRUE;
    }
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    window->process->posted.push_back(Stamped(hwnd, message, wParam, lParam));
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    if (window->process != CurrentProcess())
        throw SimulationError("SendMessageA across processes is not simulated");
    return SendToWindow(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    process->quitPosted = true;
    process->quitCode = exitCode;
}

DWORD WINAPI GetMessageTime(void)
{
    PlatformCode platform;
    return CurrentProcess()->messageTime;
}

DWORD WINAPI GetMessagePos(void)
{
    PlatformCode platform;
    return CurrentProcess()->messagePos;
}

DWORD WINAPI GetTickCount(void)
{
    PlatformCode platform;
    return static_cast<DWORD>(S().now - ToMillis(S().options.start) + UptimeAtStart);
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    PlatformCode platform;
    Desktop::State &state = S();
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    // Windows raises periods below 10 ms to 10 ms.
    UINT period = std::max<UINT>(elapse, 10);
    for (Timer &timer : state.timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer.period = period;
            timer.nextDue = state.now + period;
            timer.pending = false;
            timer.proc = proc;
            return id;
        }
    }
    state.timers.push_back(
        Timer{hwnd, id, period, state.now + period, false, proc, window->process});
    return id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    PlatformCode platform;
    auto &timers = S().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer &t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        SetLastError(87); // ERROR_INVALID_PARAMETER, as Wine answers (timers/kill-with-tick-due)
        return FALSE;
    }
    // A tick already due goes with the timer.
    timers.erase(it);
    return TRUE;
}
