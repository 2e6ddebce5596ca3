// Window geometry of the simulated desktop: the client area inside a window's frame, caption,
// border or client edge (see FrameWidth and CaptionHeight), where it lies on the screen, whether
// a window is shown (it and every parent visible), a window's class and children, and the
// z-order's two bands: top-most windows above all others.
#include "platform/sim/internal.h"

#include <algorithm>

namespace sim
{

bool IsShown(const WindowObject &window)
{
    if (!window.visible) return false;
    const WindowObject *parent = window.parent ? FindWindowObject(window.parent) : nullptr;
    return !window.parent || (parent && IsShown(*parent));
}

namespace
{

// The widths of the frame, caption and border round the client area, and of a sunken client
// edge (WS_EX_CLIENTEDGE, 2 pixels) inside them.
RECT NonClient(DWORD style, DWORD exStyle)
{
    RECT edge{0, 0, 0, 0};
    if ((style & WS_CAPTION) == WS_CAPTION)
        edge = RECT{FrameWidth, FrameWidth + CaptionHeight, FrameWidth, FrameWidth};
    else if (style & (WS_THICKFRAME | WS_DLGFRAME))
        edge = RECT{FrameWidth, FrameWidth, FrameWidth, FrameWidth};
    else if (style & WS_BORDER)
        edge = RECT{1, 1, 1, 1};
    if (exStyle & WS_EX_CLIENTEDGE)
        edge = RECT{edge.left + 2, edge.top + 2, edge.right + 2, edge.bottom + 2};
    return edge;
}

} // namespace

SIZE ClientSize(const WindowObject &window)
{
    RECT edge = NonClient(window.style, window.exStyle);
    LONG width = window.rect.right - window.rect.left - edge.left - edge.right;
    LONG height = window.rect.bottom - window.rect.top - edge.top - edge.bottom;
    return SIZE{std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

POINT ClientOrigin(const WindowObject &window)
{
    RECT edge = NonClient(window.style, window.exStyle);
    POINT origin{window.rect.left + edge.left, window.rect.top + edge.top};
    // A child's rectangle is in its parent's client area.
    if (const WindowObject *parent = window.parent ? FindWindowObject(window.parent) : nullptr) {
        POINT base = ClientOrigin(*parent);
        origin.x += base.x;
        origin.y += base.y;
    }
    return origin;
}

const WNDCLASSA *WindowClass(const WindowObject &window)
{
    auto found = window.process->classes.find(Upper(window.className));
    return found == window.process->classes.end() ? nullptr : &found->second;
}

std::vector<HWND> ChildrenInOrder(HWND parent)
{
    // The desktop keeps its windows by handle, and handles grow.
    std::vector<HWND> children;
    for (const auto &[handle, window] : S().windows)
        if (window->parent == parent) children.push_back(handle);
    return children;
}

std::vector<HWND> GroupAround(HWND dialog, HWND control)
{
    std::vector<HWND> children = ChildrenInOrder(dialog);
    auto at = std::find(children.begin(), children.end(), control);
    if (at == children.end()) return {};
    auto first = at;
    while (first != children.begin() && !(FindWindowObject(*first)->style & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != children.end() && !(FindWindowObject(*last)->style & WS_GROUP))
        ++last;
    return std::vector<HWND>(first, last);
}

void BringToTop(HWND hwnd)
{
    Desktop::State &state = S();
    WindowObject *window = FindWindowObject(hwnd);
    if (!window || window->parent) return;
    auto &order = state.zOrder;
    order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
    // Above every window of its band: a top-most window goes first, another one first after
    // the top-most ones.
    auto at = order.begin();
    if (!(window->exStyle & WS_EX_TOPMOST))
        while (at != order.end() && (FindWindowObject(*at)->exStyle & WS_EX_TOPMOST))
            ++at;
    order.insert(at, hwnd);
}

} // namespace sim
