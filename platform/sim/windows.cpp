// Simulated windows and classes: creation, destruction, show and hide, placement, focus.
//
// Behaviour follows Windows where the program relies on it: the creation messages are sent
// before CreateWindowExA returns; DestroyWindow destroys the owned windows first and drops the
// messages still posted to every destroyed window (messages.cpp has the queue and the timers).
#include "internal.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace sim
{

WindowObject *FindWindowObject(HWND hwnd)
{
    auto it = S().windows.find(hwnd);
    return it == S().windows.end() ? nullptr : it->second.get();
}

} // namespace sim

using namespace sim;

namespace
{

void RemoveWindow(HWND hwnd)
{
    Desktop::State &state = S();
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer &t) { return t.hwnd == hwnd; }),
                       state.timers.end());
    state.zOrder.erase(std::remove(state.zOrder.begin(), state.zOrder.end(), hwnd),
                       state.zOrder.end());
    if (state.foreground == hwnd) state.foreground = nullptr;
    if (state.focus == hwnd) state.focus = nullptr;
    PurgeMessages(hwnd);
    state.windows.erase(hwnd);
}

// A control tells its parent: an edit field, a list box or a button with BS_NOTIFY of focus
// changes, an edit field of new text.
void NotifyParent(HWND hwnd, const char *className, WORD code)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || !window->parent || Upper(window->className) != className) return;
    (void)SendMessageA(window->parent, WM_COMMAND, MAKEWPARAM(window->controlId, code),
                       reinterpret_cast<LPARAM>(hwnd));
}

void NotifyButtonFocus(HWND hwnd, WORD code)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (window && (window->style & BS_NOTIFY)) NotifyParent(hwnd, "BUTTON", code);
}

// True when the focus is the window or one of its descendants.
bool HoldsFocus(HWND hwnd)
{
    for (HWND at = S().focus; at;
         at = FindWindowObject(at) ? FindWindowObject(at)->parent : nullptr)
        if (at == hwnd) return true;
    return false;
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
    if (!SendToWindow(raw, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        RemoveWindow(hwnd);
        return nullptr;
    }
    if (SendToWindow(raw, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
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
    // The focus leaves a window that is going before it hears WM_DESTROY.
    if (HoldsFocus(hwnd)) (void)SetFocus(nullptr);
    SendToWindow(window, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    for (auto &[handle, other] : state.windows)
        if (other->parent == hwnd && !other->destroying) children.push_back(handle);
    for (HWND handle : children)
        DestroyWindow(handle);
    SendToWindow(window, WM_NCDESTROY, 0, 0);
    RemoveWindow(hwnd);
    return TRUE;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName)
{
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
    return FindWindowObject(hwnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->visible;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        // The close box and the window menu's Close.
        if ((wParam & 0xFFF0) == SC_CLOSE) (void)SendMessageA(hwnd, WM_CLOSE, 0, 0);
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

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    bool wasVisible = window->visible;
    bool show = cmdShow != SW_HIDE;
    // A top-level window that hides takes the focus with it.
    if (!show && wasVisible && !window->parent && HoldsFocus(hwnd)) (void)SetFocus(nullptr);
    if (show != wasVisible) {
        window->visible = show;
        EmitWindow(show ? "window.show" : "window.hide", *window);
    }
    if (show && cmdShow != SW_SHOWNA && !window->parent) SetForegroundWindow(hwnd);
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    return FindWindowObject(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
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
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    *rect = window->rect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    *rect =
        RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    S().foreground = hwnd;
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void)
{
    return S().foreground;
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    window->title = text ? text : "";
    NotifyParent(hwnd, "EDIT", EN_UPDATE);
    NotifyParent(hwnd, "EDIT", EN_CHANGE);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int maxCount)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || maxCount <= 0) {
        if (text && maxCount > 0) text[0] = '\0';
        return 0;
    }
    // Cut to whole characters, as the conversion from the text's UTF-16 does.
    return static_cast<int>(CopyWholeCharacters(window->title, text, maxCount));
}

HWND WINAPI GetParent(HWND hwnd)
{
    // A child's parent, or a top-level window's owner, as Windows answers for pop-up windows.
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    return window->parent ? window->parent : window->owner;
}

int WINAPI GetDlgCtrlID(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->parent ? window->controlId : 0;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR className, int maxCount)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || maxCount <= 0) return 0;
    size_t count = std::min(window->className.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(className, window->className.data(), count);
    className[count] = '\0';
    return static_cast<int>(count);
}

HWND WINAPI SetFocus(HWND hwnd)
{
    HWND previous = S().focus;
    if (hwnd && !FindWindowObject(hwnd)) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    if (hwnd == previous) return previous;
    S().focus = hwnd;
    // The control that loses the focus says so first, then the one that gets it; a button only
    // with BS_NOTIFY.
    NotifyParent(previous, "EDIT", EN_KILLFOCUS);
    NotifyParent(previous, "LISTBOX", LBN_KILLFOCUS);
    NotifyButtonFocus(previous, BN_KILLFOCUS);
    NotifyParent(hwnd, "EDIT", EN_SETFOCUS);
    NotifyParent(hwnd, "LISTBOX", LBN_SETFOCUS);
    NotifyButtonFocus(hwnd, BN_SETFOCUS);
    return previous;
}

HWND WINAPI GetFocus(void)
{
    return S().focus;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    bool wasDisabled = !window->enabled;
    window->enabled = enable != FALSE;
    return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->enabled;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    *point = S().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    // The pointer stays on the screen.
    S().cursor = POINT{std::clamp(x, 0, S().options.screenWidth - 1),
                       std::clamp(y, 0, S().options.screenHeight - 1)};
    return TRUE;
}

int WINAPI GetSystemMetrics(int index)
{
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
    (void)instance;
    return reinterpret_cast<HCURSOR>(reinterpret_cast<uintptr_t>(name) | 0x10000);
}

HGDIOBJ WINAPI GetStockObject(int object)
{
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x1000 + object));
}

// user32's own printf. The conversions the program uses (%d with width and zero fill, %s) behave
// as the C runtime's; the output stops at 1024 characters including the terminator, and the
// result is the number of characters stored without it.
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    constexpr int Limit = 1024;
    va_list arguments;
    va_start(arguments, format);
    int count = std::vsnprintf(buffer, Limit, format, arguments);
    va_end(arguments);
    return count < 0 ? 0 : std::min(count, Limit - 1);
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
    return WindowInfo{w.handle, w.className, w.title,   w.style,   w.exStyle,    w.rect,
                      w.owner,  w.parent,    w.visible, w.enabled, w.process->id};
}

std::vector<WindowInfo> Desktop::Windows() const
{
    std::vector<WindowInfo> all;
    for (const auto &[hwnd, window] : state_->windows)
        all.push_back(*Window(hwnd));
    return all;
}

} // namespace sim
