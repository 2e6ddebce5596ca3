// Simulated windows, classes, messages, timers and the message loop.
//
// Behaviour follows Windows where the program relies on it: the creation messages are sent
// before CreateWindowExA returns; DestroyWindow destroys the owned windows first and drops the
// messages still posted to every destroyed window; GetMessage returns posted messages first,
// then the quit message, then input, then timer messages; a timer has at most one pending tick.
#include "internal.h"

#include <algorithm>
#include <cstring>

namespace sim
{

std::string Upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

WindowObject *FindWindowObject(HWND hwnd)
{
    auto it = S().windows.find(hwnd);
    return it == S().windows.end() ? nullptr : it->second.get();
}

void PurgeMessages(HWND hwnd)
{
    for (auto &process : S().processes) {
        auto &queue = process->posted;
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [&](const MSG &m) { return m.hwnd == hwnd; }),
                    queue.end());
    }
}

void CollectDueTimers(Process *process)
{
    Desktop::State &state = S();
    for (Timer &timer : state.timers) {
        WindowObject *window = FindWindowObject(timer.hwnd);
        if (!window || window->process != process || timer.nextDue > state.now) continue;
        timer.pending = true;
        while (timer.nextDue <= state.now)
            timer.nextDue += timer.period;
    }
}

bool NextMessage(MSG *msg)
{
    Process *process = CurrentProcess();
    if (++process->messagesSinceYield > 1000000)
        throw SimulationError("a program handled a million messages without becoming idle, at " +
                              FormatTime(S().now));
    for (;;) {
        if (!process->posted.empty()) {
            *msg = process->posted.front();
            process->posted.pop_front();
            return true;
        }
        if (process->quitPosted) {
            process->quitPosted = false;
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(process->quitCode), 0, 0, {}};
            return false;
        }
        if (!process->input.empty()) {
            auto action = std::move(process->input.front());
            process->input.pop_front();
            action();
            // Hand the loop a message of no consequence, so that a modal loop looks at its
            // state again before waiting.
            *msg = MSG{nullptr, WM_NULL, 0, 0, 0, {}};
            return true;
        }
        CollectDueTimers(process);
        for (Timer &timer : S().timers) {
            WindowObject *window = FindWindowObject(timer.hwnd);
            if (timer.pending && window && window->process == process) {
                timer.pending = false;
                *msg = MSG{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc),
                           0,          {}};
                return true;
            }
        }
        Yield();
    }
}

} // namespace sim

using namespace sim;

namespace
{

LRESULT Send(WindowObject *window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window->proc) return 0;
    // The program's window procedure, or one of the desktop's own (which marks itself).
    ProgramCode program;
    return window->proc(window->handle, message, wParam, lParam);
}

void RemoveWindow(HWND hwnd)
{
    Desktop::State &state = S();
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer &t) { return t.hwnd == hwnd; }),
                       state.timers.end());
    state.zOrder.erase(std::remove(state.zOrder.begin(), state.zOrder.end(), hwnd),
                       state.zOrder.end());
    if (state.foreground == hwnd) state.foreground = nullptr;
    PurgeMessages(hwnd);
    state.windows.erase(hwnd);
}

void EmitWindow(const char *kind, const WindowObject &window)
{
    Event event;
    event.kind = kind;
    event.fields = {{"class", JsonString(window.className)},
                    {"title", JsonString(window.title)},
                    {"rect", "[" + std::to_string(window.rect.left) + "," +
                                 std::to_string(window.rect.top) + "," +
                                 std::to_string(window.rect.right - window.rect.left) + "," +
                                 std::to_string(window.rect.bottom - window.rect.top) + "]"}};
    Desktop::Current().Emit(event);
}

} // namespace

ATOM WINAPI RegisterClassA(const WNDCLASSA *wndClass)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    std::string key = Upper(wndClass->lpszClassName);
    if (process->classes.count(key)) {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    process->classes[key] = *wndClass;
    process->classNames[key] = wndClass->lpszClassName;
    return static_cast<ATOM>(0xC000 + process->classes.size());
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    Desktop::State &state = S();
    std::string key = Upper(className);
    auto found = process->classes.find(key);
    if (found == process->classes.end()) {
        SetLastError(1407); // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    auto window = std::make_unique<WindowObject>();
    HWND hwnd = reinterpret_cast<HWND>(state.NewHandle());
    window->handle = hwnd;
    window->process = process;
    window->className = process->classNames[key];
    window->title = windowName ? windowName : "";
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    window->exStyle = exStyle;
    if (x == CW_USEDEFAULT) x = 0, y = 0;
    if (width == CW_USEDEFAULT) width = 640, height = 480;
    window->rect = RECT{x, y, x + width, y + height};
    window->proc = found->second.lpfnWndProc;
    if (style & WS_CHILD) {
        window->parent = parent;
        window->controlId = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
    } else {
        // A top-level window's "parent" is its owner, which is always a top-level window.
        HWND owner = parent;
        while (WindowObject *o = owner ? FindWindowObject(owner) : nullptr) {
            if (!o->parent) break;
            owner = o->parent;
        }
        window->owner = owner;
        state.zOrder.insert(state.zOrder.begin(), hwnd);
    }
    WindowObject *raw = window.get();
    state.windows[hwnd] = std::move(window);

    CREATESTRUCTA create{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (!Send(raw, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        RemoveWindow(hwnd);
        return nullptr;
    }
    if (Send(raw, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || window->destroying) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    window->destroying = true;
    Desktop::State &state = S();
    // Owned windows go first, entirely.
    std::vector<HWND> owned;
    for (auto &[handle, other] : state.windows)
        if (other->owner == hwnd && !other->destroying) owned.push_back(handle);
    for (HWND handle : owned)
        DestroyWindow(handle);
    if (window->visible) ShowWindow(hwnd, SW_HIDE);
    Send(window, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    for (auto &[handle, other] : state.windows)
        if (other->parent == hwnd && !other->destroying) children.push_back(handle);
    for (HWND handle : children)
        DestroyWindow(handle);
    Send(window, WM_NCDESTROY, 0, 0);
    RemoveWindow(hwnd);
    return TRUE;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName)
{
    PlatformCode platform;
    // A null class or title matches any; an empty title matches only an empty title.
    for (HWND hwnd : S().zOrder) {
        const WindowObject &window = *S().windows.at(hwnd);
        if (window.destroying) continue;
        if (className && Upper(window.className) != Upper(className)) continue;
        if (windowName && window.title != windowName) continue;
        return hwnd;
    }
    return nullptr;
}

BOOL WINAPI IsWindow(HWND hwnd)
{
    PlatformCode platform;
    return FindWindowObject(hwnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->visible;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    (void)wParam;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT:
        return SetWindowTextA(hwnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return GetWindowTextA(hwnd, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: {
        WindowObject *window = FindWindowObject(hwnd);
        return window ? static_cast<LRESULT>(window->title.size()) : 0;
    }
    default:
        return 0;
    }
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    PlatformCode platform;
    // The program's loops fetch every message of the thread; filters are not simulated.
    (void)hwnd;
    (void)filterMin;
    (void)filterMax;
    return NextMessage(msg) ? TRUE : FALSE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    PlatformCode platform;
    (void)hwnd;
    (void)filterMin;
    (void)filterMax;
    Process *process = CurrentProcess();
    if (!process->posted.empty()) {
        *msg = process->posted.front();
        if (removeMsg & PM_REMOVE) process->posted.pop_front();
        return TRUE;
    }
    if (process->quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(process->quitCode), 0, 0, {}};
        if (removeMsg & PM_REMOVE) process->quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *msg)
{
    PlatformCode platform;
    (void)msg;
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    PlatformCode platform;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        ProgramCode program;
        proc(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(S().now));
        return 0;
    }
    WindowObject *window = FindWindowObject(msg->hwnd);
    if (!window) return 0;
    ++S().dispatched[msg->hwnd][msg->message];
    return Send(window, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    window->process->posted.push_back(MSG{hwnd, message, wParam, lParam, 0, {}});
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    if (window->process != CurrentProcess())
        throw SimulationError("SendMessageA across processes is not simulated");
    return Send(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    process->quitPosted = true;
    process->quitCode = exitCode;
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    PlatformCode platform;
    Desktop::State &state = S();
    if (!FindWindowObject(hwnd)) return 0;
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
    state.timers.push_back(Timer{hwnd, id, period, state.now + period, false, proc});
    return id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    PlatformCode platform;
    auto &timers = S().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer &t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    bool wasVisible = window->visible;
    bool show = cmdShow != SW_HIDE;
    if (show != wasVisible) {
        window->visible = show;
        EmitWindow(show ? "window.show" : "window.hide", *window);
    }
    if (show && cmdShow != SW_SHOWNA && !window->parent) SetForegroundWindow(hwnd);
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    PlatformCode platform;
    return FindWindowObject(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    PlatformCode platform;
    (void)repaint;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    RECT old = window->rect;
    window->rect = RECT{x, y, x + width, y + height};
    if (old.left != x || old.top != y || old.right != x + width || old.bottom != y + height)
        EmitWindow("window.move", *window);
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    *rect = window->rect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    *rect =
        RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    S().foreground = hwnd;
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void)
{
    PlatformCode platform;
    return S().foreground;
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    window->title = text ? text : "";
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int maxCount)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || maxCount <= 0) {
        if (text && maxCount > 0) text[0] = '\0';
        return 0;
    }
    size_t count = std::min(window->title.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(text, window->title.data(), count);
    text[count] = '\0';
    return static_cast<int>(count);
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    bool wasDisabled = !window->enabled;
    window->enabled = enable != FALSE;
    return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->enabled;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    PlatformCode platform;
    *point = S().cursor;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index)
{
    PlatformCode platform;
    switch (index) {
    case SM_CXSCREEN:
        return S().options.screenWidth;
    case SM_CYSCREEN:
        return S().options.screenHeight;
    default:
        return 0;
    }
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    PlatformCode platform;
    (void)instance;
    return reinterpret_cast<HCURSOR>(reinterpret_cast<uintptr_t>(name) | 0x10000);
}

HGDIOBJ WINAPI GetStockObject(int object)
{
    PlatformCode platform;
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x1000 + object));
}

// ---------------------------------------------------------------------------------------------
// Desktop methods about windows

namespace sim
{

HWND Desktop::FindWindow(const std::string &className, const std::string &title) const
{
    return FindWindowA(className.c_str(), title.c_str());
}

std::optional<WindowInfo> Desktop::Window(HWND hwnd) const
{
    auto it = state_->windows.find(hwnd);
    if (it == state_->windows.end()) return std::nullopt;
    const WindowObject &w = *it->second;
    WindowInfo info{w.handle, w.className, w.title,   w.style,   w.exStyle,    w.rect,
                    w.owner,  w.parent,    w.visible, w.enabled, w.process->id};
    auto found = w.process->classes.find(Upper(w.className));
    if (found != w.process->classes.end()) info.classStyle = found->second.style;
    return info;
}

std::vector<WindowInfo> Desktop::Windows() const
{
    std::vector<WindowInfo> all;
    for (const auto &[hwnd, window] : state_->windows)
        all.push_back(*Window(hwnd));
    return all;
}

std::map<UINT, int64_t> Desktop::Dispatched(HWND hwnd) const
{
    auto it = state_->dispatched.find(hwnd);
    return it == state_->dispatched.end() ? std::map<UINT, int64_t>{} : it->second;
}

void Desktop::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = state_->windows.find(hwnd);
    if (it == state_->windows.end()) return;
    it->second->process->posted.push_back(MSG{hwnd, message, wParam, lParam, 0, {}});
    RunUntilIdle();
}

} // namespace sim
