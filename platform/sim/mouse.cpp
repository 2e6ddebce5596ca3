// The simulated mouse: input at a screen point (SendInput, SetCursorPos and the Desktop's user
// actions), queued for the thread of the window under the point and turned into messages when
// the thread reads its input; the pointer's shape (LoadCursorA, SetCursor).
//
// As Windows and Wine do it (the conformance probe's mouse scenarios): the window under the point
// is found when the message is read: shown windows in z-order (top-most first), into the children
// of the one hit; it is asked with WM_NCHITTEST. A disabled window gets only WM_SETCURSOR with
// HTERROR, and the input is dropped. Every mouse message is preceded by WM_SETCURSOR naming it.
// A press is a double click only in a class with CS_DBLCLKS, within the double-click time and 2
// pixels of the press before, and the press after a double click is a press again. Moves not yet
// read are merged into one. When the window under the resting pointer changes (one is shown,
// hidden, moved, raised or destroyed), it gets a mouse move. An open popup menu has the mouse to
// itself (modal.cpp); over a tray icon, which lies above every window, the shell takes the input
// (shell.cpp).
#include "platform/sim/internal.h"
#include "platform/sim/shell.h"

#include <algorithm>
#include <cstdlib>

namespace sim
{

namespace
{

constexpr UINT DoubleClickTime = 500;
constexpr int DoubleClickDistance = 2; // half of SM_CXDOUBLECLK and SM_CYDOUBLECLK (4)

// The system's cursors: LoadCursorA(nullptr, IDC_...) gives one shared handle per shape.
constexpr struct {
    WORD id;
    const char *name;
} SystemCursors[] = {
    {32512, "arrow"},       {32513, "ibeam"},    {32514, "wait"},     {32515, "cross"},
    {32516, "uparrow"},     {32642, "sizenwse"}, {32643, "sizenesw"}, {32644, "sizewe"},
    {32645, "sizens"},      {32646, "sizeall"},  {32648, "no"},       {32649, "hand"},
    {32650, "appstarting"}, {32651, "help"},
};
constexpr uintptr_t CursorBase = 0x10000;

constexpr struct {
    UINT message;
    const char *name;
} MouseMessages[] = {
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
};

std::string ShapeName(HCURSOR cursor)
{
    if (!cursor) return "none";
    for (const auto &system : SystemCursors)
        if (reinterpret_cast<uintptr_t>(cursor) == CursorBase + system.id) return system.name;
    return "other";
}

const char *MessageName(UINT message)
{
    for (const auto &known : MouseMessages)
        if (known.message == message) return known.name;
    return "?";
}

bool IsPress(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN;
}

bool Contains(const RECT &r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// A window's rectangle on the screen.
RECT ScreenRect(const WindowObject &window)
{
    RECT r = window.rect;
    if (const WindowObject *parent = window.parent ? FindWindowObject(window.parent) : nullptr) {
        POINT origin = ClientOrigin(*parent);
        r = RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    }
    return r;
}

RECT ClientOnScreen(const WindowObject &window)
{
    POINT origin = ClientOrigin(window);
    SIZE size = ClientSize(window);
    return RECT{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
}

// The deepest window at the point inside a window that contains it: its shown children over
// its client area, but not into a disabled window, and not onto a disabled child (the point is
// then the parent's).
void Chain(WindowObject &window, POINT point, std::vector<HWND> *chain)
{
    if (window.enabled && Contains(ClientOnScreen(window), point)) {
        for (auto &[handle, child] : S().windows) {
            if (child->parent != window.handle || !child->visible || !child->enabled) continue;
            if (!Contains(ScreenRect(*child), point)) continue;
            Chain(*child, point, chain);
            break;
        }
    }
    chain->push_back(window.handle);
}

// The windows at the point, as the system lists them: the deepest first, up to its top-level
// window, then the same for each top-level window further down the z-order. None on a tray
// icon, which lies above them all.
std::vector<HWND> WindowsAt(POINT point)
{
    std::vector<HWND> all;
    if (TrayIconAt(point)) return all;
    for (HWND hwnd : S().zOrder) {
        WindowObject *window = FindWindowObject(hwnd);
        if (window->visible && Contains(window->rect, point)) Chain(*window, point, &all);
    }
    return all;
}

// The top-level window at the point, found without asking any window.
HWND TopLevelAt(POINT point)
{
    if (TrayIconAt(point)) return nullptr;
    for (HWND hwnd : S().zOrder) {
        WindowObject *window = FindWindowObject(hwnd);
        if (window->visible && Contains(window->rect, point)) return hwnd;
    }
    return nullptr;
}

// The window a mouse message at the point goes to, and its hit-test code: a disabled window
// answers HTERROR; the calling thread's windows are asked with WM_NCHITTEST, and one that
// answers HTTRANSPARENT lets the point through to the next.
HWND HitTest(POINT point, int *hit)
{
    *hit = HTNOWHERE;
    for (HWND hwnd : WindowsAt(point)) {
        WindowObject *window = FindWindowObject(hwnd);
        if (!window) continue;
        if (!window->enabled) {
            *hit = HTERROR;
            return hwnd;
        }
        if (window->process != CurrentProcess()) {
            *hit = HTCLIENT;
            return hwnd;
        }
        auto answer =
            static_cast<int>(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)));
        if (answer != HTTRANSPARENT) {
            *hit = answer;
            return hwnd;
        }
    }
    return nullptr;
}

HWND TopLevelOf(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    while (window && window->parent)
        window = FindWindowObject(window->parent);
    return window ? window->handle : nullptr;
}

// Queues a mouse message for the thread of the top-level window at the point, or of the popup
// menu that has the mouse; a tray icon's events go to the shell; nothing when no window is there.
// A move not yet read takes the new position instead of a second move.
void Queue(UINT message, POINT point, DWORD time)
{
    Desktop::State &state = S();
    HWND target = TopLevelAt(point);
    state.underPointer = target;
    Process *process = MenuCapture();
    if (!process) {
        if (const TrayInfo *icon = TrayIconAt(point)) {
            TrayInput(*icon, message, point, time);
            return;
        }
        if (!target) return;
        process = FindWindowObject(target)->process;
    }
    MouseInput input{message, point, time, state.buttons};
    if (message == WM_MOUSEMOVE && !process->mouse.empty() &&
        process->mouse.back().message == WM_MOUSEMOVE) {
        process->mouse.back() = input;
        return;
    }
    process->mouse.push_back(input);
}

POINT OnScreen(POINT point)
{
    int width = S().options.screenWidth, height = S().options.screenHeight;
    return POINT{std::clamp<LONG>(point.x, 0, width - 1), std::clamp<LONG>(point.y, 0, height - 1)};
}

// One mouse event: a move to the point (not made when a button event happens at the pointer's
// own position), then the buttons pressed and released, in the order of their flags.
void MouseEvent(DWORD flags, POINT target, DWORD time)
{
    Desktop::State &state = S();
    constexpr DWORD Buttons =
        MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP;
    if (flags & MOUSEEVENTF_MOVE) {
        target = OnScreen(target);
        bool still = target.x == state.cursor.x && target.y == state.cursor.y;
        if (!(still && (flags & Buttons))) {
            state.cursor = target;
            Queue(WM_MOUSEMOVE, target, time);
        }
    }
    constexpr struct {
        DWORD flag;
        UINT message;
        WPARAM key;
        bool down;
    } Events[] = {
        {MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN, MK_LBUTTON, true},
        {MOUSEEVENTF_LEFTUP, WM_LBUTTONUP, MK_LBUTTON, false},
        {MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN, MK_RBUTTON, true},
        {MOUSEEVENTF_RIGHTUP, WM_RBUTTONUP, MK_RBUTTON, false},
    };
    for (const auto &event : Events) {
        if (!(flags & event.flag)) continue;
        state.buttons = event.down ? state.buttons | event.key : state.buttons & ~event.key;
        Queue(event.message, state.cursor, time);
    }
}

void EmitEvent(const char *kind, std::vector<std::pair<std::string, std::string>> fields)
{
    Event event;
    event.kind = kind;
    event.fields = std::move(fields);
    Desktop::Current().Emit(event);
}

std::string JsonPoint(POINT point)
{
    return "[" + std::to_string(point.x) + "," + std::to_string(point.y) + "]";
}

// A press is a double click when the one before was the same button on the same window with
// the same keys, close in time and place; the press after a double click starts anew.
UINT TranslateDoubleClick(Process *process, const MSG &press, bool doubleClicks)
{
    MSG &last = process->lastPress;
    UINT message = press.message;
    bool update = true;
    if (doubleClicks && last.message == press.message && last.hwnd == press.hwnd &&
        last.wParam == press.wParam && press.time - last.time < DoubleClickTime &&
        std::abs(press.pt.x - last.pt.x) < DoubleClickDistance &&
        std::abs(press.pt.y - last.pt.y) < DoubleClickDistance) {
        message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        last.message = 0;
        update = false;
    }
    if (update) last = press;
    return message;
}

} // namespace

bool NextMouseMessage(Process *process, MSG *msg)
{
    if (!process->mouse.empty() && MenuCapture() == process) {
        MouseInput input = process->mouse.front();
        process->mouse.pop_front();
        *msg = MSG{nullptr, input.message, input.keys, 0, input.time, input.pt};
        return true;
    }
    while (!process->mouse.empty()) {
        MouseInput input = process->mouse.front();
        process->mouse.pop_front();
        int hit = HTNOWHERE;
        HWND hwnd = HitTest(input.pt, &hit);
        WindowObject *window = FindWindowObject(hwnd);
        if (!window || window->process != process) continue;
        LPARAM cause = MAKELPARAM(hit, input.message);
        if (hit == HTERROR || hit == HTNOWHERE) {
            // Nobody can click a disabled window: the system only lets it set the pointer.
            (void)SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), cause);
            EmitEvent("input.ignored", {{"message", JsonString(MessageName(input.message))},
                                        {"class", JsonString(window->className)},
                                        {"at", JsonPoint(input.pt)}});
            continue;
        }
        UINT message = input.message;
        WPARAM wParam = input.keys;
        POINT point = input.pt;
        if (hit != HTCLIENT) {
            message += WM_NCMOUSEMOVE - WM_MOUSEMOVE;
            wParam = static_cast<WPARAM>(hit);
        } else {
            (void)ScreenToClient(hwnd, &point);
        }
        LPARAM lParam = MAKELPARAM(point.x, point.y);
        bool eaten = false;
        if (IsPress(input.message)) {
            const WNDCLASSA *windowClass = WindowClass(*window);
            bool doubleClicks =
                hit != HTCLIENT || (windowClass && (windowClass->style & CS_DBLCLKS));
            MSG press{hwnd, input.message, wParam, lParam, input.time, input.pt};
            UINT translated = TranslateDoubleClick(process, press, doubleClicks);
            message += translated - input.message;
            // A press on a window of another top-level window than the active one activates it.
            HWND top = TopLevelOf(hwnd);
            if (top && top != S().foreground) {
                LRESULT answer =
                    SendMessageA(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), cause);
                eaten = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
                if (answer == 0 || answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT)
                    (void)SetForegroundWindow(top);
            }
        }
        if (!FindWindowObject(hwnd)) continue;
        (void)SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), cause);
        if (eaten || !FindWindowObject(hwnd)) continue;
        *msg = MSG{hwnd, message, wParam, lParam, input.time, input.pt};
        return true;
    }
    return false;
}

void PutMouseBack(Process *process, const MSG &msg)
{
    process->mouse.push_front(MouseInput{msg.message, msg.pt, msg.time, msg.wParam});
}

void PointerWindowMayHaveChanged()
{
    Desktop::State &state = S();
    HWND now = TopLevelAt(state.cursor);
    if (now == state.underPointer) return;
    if (now)
        Queue(WM_MOUSEMOVE, state.cursor, GetTickCount());
    else
        state.underPointer = nullptr;
}

LRESULT DefaultMouseMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    switch (message) {
    case WM_NCHITTEST: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (Contains(ClientOnScreen(*window), point)) return HTCLIENT;
        RECT outer = ScreenRect(*window);
        if (!Contains(outer, point)) return HTNOWHERE;
        bool inCaption = (window->style & WS_CAPTION) == WS_CAPTION &&
                         point.y < ClientOnScreen(*window).top && point.y >= outer.top + FrameWidth;
        return inCaption ? HTCAPTION : HTBORDER;
    }
    case WM_MOUSEACTIVATE:
        // A child asks its parent first.
        if (window->parent) {
            LRESULT answer = SendMessageA(window->parent, WM_MOUSEACTIVATE, wParam, lParam);
            if (answer) return answer;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (window->parent && SendMessageA(window->parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        int hit = static_cast<short>(LOWORD(lParam));
        if (hit == HTCLIENT) {
            // The class cursor, if there is one; otherwise the shape stays what the program set.
            const WNDCLASSA *windowClass = WindowClass(*window);
            if (!windowClass || !windowClass->hCursor) return FALSE;
            (void)SetCursor(windowClass->hCursor);
            return TRUE;
        }
        if (hit == HTERROR && IsPress(HIWORD(lParam))) (void)MessageBeep(0);
        (void)SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    default:
        return 0;
    }
}

// ---- Desktop methods

void Desktop::MovePointer(int x, int y)
{
    MouseEvent(MOUSEEVENTF_MOVE, POINT{x, y}, GetTickCount());
    RunUntilIdle();
}

void Desktop::LeftClick(int x, int y)
{
    MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, POINT{x, y}, GetTickCount());
    MouseEvent(MOUSEEVENTF_LEFTUP, POINT{}, GetTickCount());
    RunUntilIdle();
}

void Desktop::RightClick(int x, int y)
{
    MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, POINT{x, y}, GetTickCount());
    MouseEvent(MOUSEEVENTF_RIGHTUP, POINT{}, GetTickCount());
    RunUntilIdle();
}

void Desktop::DoubleClick(int x, int y)
{
    MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, POINT{x, y}, GetTickCount());
    MouseEvent(MOUSEEVENTF_LEFTUP, POINT{}, GetTickCount());
    MouseEvent(MOUSEEVENTF_LEFTDOWN, POINT{}, GetTickCount());
    MouseEvent(MOUSEEVENTF_LEFTUP, POINT{}, GetTickCount());
    RunUntilIdle();
}

void Desktop::SetCursorPos(int x, int y)
{
    state_->cursor = OnScreen(POINT{x, y});
    state_->underPointer = TopLevelAt(state_->cursor);
}

std::string Desktop::PointerShape() const
{
    return state_->pointerShape;
}

} // namespace sim

using namespace sim;

UINT WINAPI SendInput(UINT count, LPINPUT inputs, int size)
{
    PlatformCode platform;
    if (size != static_cast<int>(sizeof(INPUT)) || !inputs) {
        SetLastError(87); // ERROR_INVALID_PARAMETER
        return 0;
    }
    int width = S().options.screenWidth, height = S().options.screenHeight;
    for (UINT i = 0; i < count; ++i) {
        if (inputs[i].type != INPUT_MOUSE)
            throw SimulationError("SendInput: only mouse input is simulated");
        const MOUSEINPUT &mouse = inputs[i].mi;
        POINT target = S().cursor;
        if (mouse.dwFlags & MOUSEEVENTF_ABSOLUTE) {
            // In 65536ths of the screen.
            target = POINT{static_cast<LONG>((static_cast<long long>(mouse.dx) * width) >> 16),
                           static_cast<LONG>((static_cast<long long>(mouse.dy) * height) >> 16)};
        } else {
            target = POINT{target.x + mouse.dx, target.y + mouse.dy};
        }
        MouseEvent(mouse.dwFlags, target, mouse.time ? mouse.time : GetTickCount());
    }
    return count;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    PlatformCode platform;
    // The pointer is moved: the window under it gets a mouse move.
    MouseEvent(MOUSEEVENTF_MOVE, POINT{x, y}, GetTickCount());
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    PlatformCode platform;
    *point = S().cursor;
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT point)
{
    PlatformCode platform;
    int hit = HTNOWHERE;
    return HitTest(point, &hit);
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || !point) return FALSE;
    POINT origin = ClientOrigin(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || !point) return FALSE;
    POINT origin = ClientOrigin(*window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

HWND WINAPI GetActiveWindow(void)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(S().foreground);
    return window && window->process == CurrentProcess() ? window->handle : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    PlatformCode platform;
    if (!instance && IS_INTRESOURCE(name)) {
        auto id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
        for (const auto &system : SystemCursors)
            if (system.id == id) return reinterpret_cast<HCURSOR>(CursorBase + id);
    }
    // The program has no cursor resources of its own.
    SetLastError(1814); // ERROR_RESOURCE_NAME_NOT_FOUND
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    HCURSOR previous = process->cursor;
    process->cursor = cursor;
    std::string shape = ShapeName(cursor);
    if (shape != S().pointerShape) {
        S().pointerShape = shape;
        EmitEvent("pointer", {{"shape", JsonString(shape)}});
    }
    return previous;
}

HCURSOR WINAPI GetCursor(void)
{
    PlatformCode platform;
    return CurrentProcess()->cursor;
}
