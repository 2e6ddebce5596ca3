// Simulated painting: each window's update region; WM_PAINT made (never posted) for the first
// window in z-order that has one, once the thread has nothing else to read; BeginPaint and
// EndPaint; the background erased with the class brush; what showing and hiding do to a window.
//
// As Windows and Wine do it (the conformance probe's paint scenarios): InvalidateRect gathers
// rectangles, clipped to the client area, and remembers whether any asked for an erase;
// BeginPaint sends WM_ERASEBKGND when one is owed, hands over the region's bounding rectangle and
// a device context clipped to the region, and validates it; fErase tells the painter that the
// background was not erased (DefWindowProc erases only with a class brush). ShowWindow makes a
// window invalid as a whole and erases it before it returns. A hidden window loses its picture:
// shown again it is black until it is painted. Uncovering a window does not invalidate it (the
// screen keeps every window's picture).
#include "platform/sim/internal.h"

#include <algorithm>

namespace sim
{

namespace
{

bool Empty(const RECT &r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

RECT Intersect(const RECT &a, const RECT &b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT Bounds(const std::vector<RECT> &rects)
{
    if (rects.empty()) return RECT{0, 0, 0, 0};
    RECT bounds = rects.front();
    for (const RECT &r : rects) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

// The parts of r outside the hole: up to four rectangles.
void Subtract(const RECT &r, const RECT &hole, std::vector<RECT> *out)
{
    RECT cut = Intersect(r, hole);
    if (Empty(cut)) {
        out->push_back(r);
        return;
    }
    const RECT pieces[] = {
        {r.left, r.top, r.right, cut.top},
        {r.left, cut.bottom, r.right, r.bottom},
        {r.left, cut.top, cut.left, cut.bottom},
        {cut.right, cut.top, r.right, cut.bottom},
    };
    for (const RECT &piece : pieces)
        if (!Empty(piece)) out->push_back(piece);
}

RECT ClientArea(const WindowObject &window)
{
    SIZE size = ClientSize(window);
    return RECT{0, 0, size.cx, size.cy};
}

void Invalidate(WindowObject &window, const RECT *rect, bool erase)
{
    // A window that is not on the screen has nothing to repaint.
    if (!IsShown(window)) return;
    RECT area = rect ? Intersect(*rect, ClientArea(window)) : ClientArea(window);
    if (Empty(area)) return;
    window.update.push_back(area);
    window.erasePending = window.erasePending || erase;
}

void Validate(WindowObject &window)
{
    window.update.clear();
    window.erasePending = false;
    window.eraseLeft = false;
}

// WM_ERASEBKGND with a device context clipped to the update region.
void Erase(WindowObject &window)
{
    HDC dc = OpenClippedContext(window.handle, window.update);
    LRESULT erased = SendMessageA(window.handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CloseContext(dc);
    if (!FindWindowObject(window.handle)) return; // destroyed by its handler
    window.erasePending = false;
    window.eraseLeft = erased == 0;
}

// The window and its descendants, parents first.
void WithDescendants(WindowObject &window, std::vector<WindowObject *> *all)
{
    all->push_back(&window);
    for (HWND child : ChildrenInOrder(window.handle))
        WithDescendants(*FindWindowObject(child), all);
}

// Looked for at every read of the message loop: it walks the windows without a list of its own.
WindowObject *FirstToPaint(WindowObject &window, HWND filter)
{
    if (!IsShown(window)) return nullptr;
    if (!window.update.empty() && ForWindow(window.handle, filter)) return &window;
    for (auto &[handle, child] : S().windows)
        if (child->parent == window.handle)
            if (WindowObject *found = FirstToPaint(*child, filter)) return found;
    return nullptr;
}

} // namespace

void WindowShown(WindowObject &window)
{
    std::vector<WindowObject *> all;
    WithDescendants(window, &all);
    std::vector<HWND> handles;
    for (WindowObject *shown : all) {
        if (!IsShown(*shown)) continue;
        ClearPixels(*shown);
        Validate(*shown);
        Invalidate(*shown, nullptr, true);
        handles.push_back(shown->handle);
    }
    // Erased at once, parents first, before ShowWindow returns.
    for (HWND hwnd : handles)
        if (WindowObject *shown = FindWindowObject(hwnd); shown && shown->erasePending)
            Erase(*shown);
}

void WindowHidden(WindowObject &window)
{
    std::vector<WindowObject *> all;
    WithDescendants(window, &all);
    for (WindowObject *hidden : all) {
        ClearPixels(*hidden);
        Validate(*hidden);
    }
}

bool PaintPending(Process *process)
{
    for (const auto &[handle, window] : S().windows)
        if (window->process == process && !window->update.empty() && IsShown(*window)) return true;
    return false;
}

bool NextPaintMessage(Process *process, MSG *msg, HWND filter)
{
    if (!PaintPending(process)) return false;
    for (HWND hwnd : S().zOrder) {
        WindowObject *window = FindWindowObject(hwnd);
        if (window->process != process) continue;
        if (WindowObject *found = FirstToPaint(*window, filter)) {
            *msg = MSG{found->handle, WM_PAINT, 0, 0, 0, {}};
            return true;
        }
    }
    return false;
}

LRESULT DefaultPaintMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return 0;
    if (message == WM_PAINT) {
        // Painting nothing still validates.
        PAINTSTRUCT paint;
        (void)BeginPaint(hwnd, &paint);
        (void)EndPaint(hwnd, &paint);
        return 0;
    }
    // WM_ERASEBKGND: the class brush, if there is one, fills the client area.
    const WNDCLASSA *windowClass = WindowClass(*window);
    if (!windowClass || !windowClass->hbrBackground) return 0;
    RECT area = ClientArea(*window);
    return FillRect(reinterpret_cast<HDC>(wParam), &area, windowClass->hbrBackground) ? 1 : 0;
}

} // namespace sim

using namespace sim;

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || !paint) return nullptr;
    if (window->erasePending) {
        Erase(*window);
        if (!FindWindowObject(hwnd)) return nullptr;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = OpenClippedContext(hwnd, window->update);
    paint->fErase = window->eraseLeft ? TRUE : FALSE;
    paint->rcPaint = Bounds(window->update);
    Validate(*window);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint)
{
    PlatformCode platform;
    (void)hwnd;
    if (paint) CloseContext(paint->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        // A null window would mean every window of the desktop; the program never asks that.
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    Invalidate(*window, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(1400); // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    if (!rect) {
        Validate(*window);
        return TRUE;
    }
    std::vector<RECT> left;
    for (const RECT &r : window->update)
        Subtract(r, *rect, &left);
    window->update = left;
    if (left.empty()) Validate(*window);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    if (erase && window->erasePending) Erase(*window);
    if (rect) *rect = Bounds(window->update);
    return window->update.empty() ? FALSE : TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    PlatformCode platform;
    WindowObject *window = FindWindowObject(hwnd);
    if (!window) return FALSE;
    // The window's own paint first, then its children's, each sent at once.
    std::vector<WindowObject *> all;
    WithDescendants(*window, &all);
    std::vector<HWND> handles;
    for (WindowObject *each : all)
        handles.push_back(each->handle);
    for (HWND each : handles) {
        WindowObject *target = FindWindowObject(each);
        if (target && IsShown(*target) && !target->update.empty())
            (void)SendMessageA(each, WM_PAINT, 0, 0);
    }
    return TRUE;
}
