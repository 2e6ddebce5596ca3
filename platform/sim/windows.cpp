// Simulated windows and classes: creation, destruction, show and hide, placement, focus.
//
// Behaviour follows Windows where the program relies on it: the creation messages are sent
// before CreateWindowExA returns; DestroyWindow destroys the owned windows first and drops the
// messages still posted to every destroyed window (messages.cpp has the queue and the timers).
#include "platform/sim/internal.h"

#include <algorithm>
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

// A control tells its parent: an edit field, a list box, a drop-down list or a button with
// BS_NOTIFY of focus changes, an edit field of new text.
void NotifyParent(HWND hwnd, const char *className, WORD code)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || !window->parent || Upper(window->className) != className) return;
    (void)SendMessageA(window->parent, WM_COMMAND, MAKEWPARAM(window->controlId, code),
                       reinterpret_cast<LPARAM>(hwnd));
}

// A message the system sends a window of the calling program about a change it made; windows of
// other programs are not told.
void SendWithinProgram(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (window && CurrentProcess() && window->process == CurrentProcess())
        (void)SendToWindow(window, message, wParam, lParam);
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
    if (window.quiet) return;
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
    }
    WindowObject *raw = window.get();
    state.windows[hwnd] = std::move(window);
    if (!raw->parent) BringToTop(hwnd);

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
    PointerWindowMayHaveChanged();
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
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_QUERYENDSESSION:
        // The session may end.
        return TRUE;
    case WM_SYSCOMMAND:
        // The close box, the window menu's Close and Alt+F4, whether the window has a system
        // menu or not.
        if ((wParam & 0xFFF0) == SC_CLOSE) (void)SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the top-level window to close, through its queue.
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            HWND top = hwnd;
            for (WindowObject *window = FindWindowObject(top); window && window->parent;
                 window = FindWindowObject(top))
                top = window->parent;
            (void)PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SETTEXT:
        return SetWindowTextA(hwnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return GetWindowTextA(hwnd, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: {
        WindowObject *window = FindWindowObject(hwnd);
        return window ? static_cast<LRESULT>(window->title.size()) : 0;
    }
    case WM_PAINT:
    case WM_ERASEBKGND:
        return DefaultPaintMessage(hwnd, message, wParam, lParam);
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEACTIVATE:
        return DefaultMouseMessage(hwnd, message, wParam, lParam);
    default:
        return 0;
    }
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    bool wasVisible = window->visible;
    bool show = cmdShow != SW_HIDE;
    // A top-level window that hides takes the focus with it.
    if (!show && wasVisible && !window->parent && HoldsFocus(hwnd)) (void)SetFocus(nullptr);
    bool activate = show && cmdShow != SW_SHOWNA && !window->parent;
    if (activate) BringToTop(hwnd);
    if (show != wasVisible) {
        window->visible = show;
        EmitWindow(show ? "window.show" : "window.hide", *window);
    }
    // Activated before it is erased: a dialog takes the focus first.
    if (activate) SetForegroundWindow(hwnd);
    if (show != wasVisible && FindWindowObject(hwnd)) {
        if (show)
            WindowShown(*window);
        else
            WindowHidden(*window);
    }
    PointerWindowMayHaveChanged();
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    RECT old = window->rect;
    // A negative size is no size.
    width = std::max(width, 0);
    height = std::max(height, 0);
    window->rect = RECT{x, y, x + width, y + height};
    if (old.left != x || old.top != y || old.right != x + width || old.bottom != y + height)
        EmitWindow("window.move", *window);
    // Asked to, a shown window is painted anew in its new place; otherwise nothing is redrawn.
    if (repaint && IsShown(*window)) (void)InvalidateRect(hwnd, nullptr, TRUE);
    PointerWindowMayHaveChanged();
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    *rect = window->rect;
    // A child's rectangle is kept in its parent's client area; the answer is on the screen.
    if (const WindowObject *parent = window->parent ? FindWindowObject(window->parent) : nullptr) {
        POINT origin = ClientOrigin(*parent);
        *rect = RECT{rect->left + origin.x, rect->top + origin.y, rect->right + origin.x,
                     rect->bottom + origin.y};
    }
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    SIZE size = ClientSize(*window);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    HWND previous = S().foreground;
    S().foreground = hwnd;
    // The window activated comes to the top of its band.
    if (S().zOrder.empty() || S().zOrder.front() != hwnd) {
        BringToTop(hwnd);
        PointerWindowMayHaveChanged();
    }
    // The window that loses the activation hears of it first, then the one that gains it.
    if (previous != hwnd) {
        SendWithinProgram(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
        SendWithinProgram(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    }
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
    ResetEditSelection(hwnd);
    NotifyParent(hwnd, "EDIT", EN_UPDATE);
    NotifyParent(hwnd, "EDIT", EN_CHANGE);
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
    // Cut to whole characters, as the conversion from the text's UTF-16 does.
    return static_cast<int>(CopyWholeCharacters(window->title, text, maxCount));
}

HWND WINAPI GetParent(HWND hwnd)
{
    PlatformCode platform;
    // A child's parent, or a top-level window's owner, as Windows answers for pop-up windows.
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    return window->parent ? window->parent : window->owner;
}

HWND WINAPI GetWindow(HWND hwnd, UINT command)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    // A window's children, and the siblings of a child, in their order (the order they were
    // made in, as a dialog's controls are).
    if (command == GW_CHILD) {
        std::vector<HWND> children = ChildrenInOrder(hwnd);
        return children.empty() ? nullptr : children.front();
    }
    if (command == GW_HWNDNEXT && window->parent) {
        std::vector<HWND> siblings = ChildrenInOrder(window->parent);
        auto at = std::find(siblings.begin(), siblings.end(), hwnd);
        return at + 1 < siblings.end() ? *(at + 1) : nullptr;
    }
    throw SimulationError("GetWindow " + std::to_string(command) +
                          " of this window is not simulated");
}

int WINAPI GetDlgCtrlID(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    return window && window->parent ? window->controlId : 0;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR className, int maxCount)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || maxCount <= 0) return 0;
    size_t count = std::min(window->className.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(className, window->className.data(), count);
    className[count] = '\0';
    return static_cast<int>(count);
}

HWND WINAPI SetFocus(HWND hwnd)
{
    PlatformCode platform;
    HWND previous = S().focus;
    if (hwnd && !FindWindowObject(hwnd)) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return nullptr;
    }
    if (hwnd == previous) return previous;
    S().focus = hwnd;
    // The window that loses the focus hears of it first (and a control tells its parent; a
    // button only with BS_NOTIFY), then the one that gets it.
    NotifyParent(previous, "EDIT", EN_KILLFOCUS);
    NotifyParent(previous, "LISTBOX", LBN_KILLFOCUS);
    // A drop-down list that loses the focus ends its selection as cancelled.
    NotifyParent(previous, "COMBOBOX", CBN_SELENDCANCEL);
    NotifyParent(previous, "COMBOBOX", CBN_KILLFOCUS);
    NotifyButtonFocus(previous, BN_KILLFOCUS);
    SendWithinProgram(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    NotifyParent(hwnd, "EDIT", EN_SETFOCUS);
    NotifyParent(hwnd, "LISTBOX", LBN_SETFOCUS);
    NotifyParent(hwnd, "COMBOBOX", CBN_SETFOCUS);
    NotifyButtonFocus(hwnd, BN_SETFOCUS);
    SendWithinProgram(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus(void)
{
    PlatformCode platform;
    return S().focus;
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

} // namespace sim
