// The simulated tool tip control ("tooltips_class32", registered by InitCommonControls), as the
// common controls show it under the conformance probe's tool tip scenarios.
//
// The window that owns the tools relays its mouse messages (TTM_RELAYEVENT). A relayed move onto
// a tool starts the initial delay (500 ms, the double-click time); when it has passed and the
// pointer is still on that tool, the tip shows the tool's text: with TTF_CENTERTIP centred below
// the tool's rectangle, else 20 pixels below the pointer, kept on the screen. While it shows, the
// pointer is looked at every 100 ms (the reshow time) and the tip goes when the pointer has left
// the tool; it also goes after 5 s, on a relayed button message, on a move off the tools (a move
// onto another tool shows that one after 100 ms), and when any tool is deleted. TTM_SETTOOLINFOA
// of the tool whose tip shows shows it again at once with the new text and rectangle. Without
// TTS_ALWAYSTIP a tip shows only while the tool's window is active. The pointer moved onto the
// tip sends it away (so the press that comes with the move reaches the window below); the tip of
// a tool with TTF_TRANSPARENT lets the mouse through to the window below instead.
#include "platform/sim/internal.h"

#include <algorithm>
#include <map>

namespace sim
{

namespace
{

constexpr UINT_PTR ShowTimer = 1;
constexpr UINT_PTR PopTimer = 2;
constexpr UINT_PTR LeaveTimer = 3;
// Between the tip's border and its text.
constexpr int TextMargin = 2;
// A tip that would leave the screen on the right first moves left by its width less these.
constexpr int StemIndent = 16;
constexpr int StemWidth = 18;
constexpr COLORREF InfoBackground = RGB(255, 255, 225);
constexpr COLORREF InfoText = RGB(0, 0, 0);

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    std::string text;
};

struct Tip {
    std::vector<Tool> tools;
    int tool = -1;    // the tool the pointer was on at the last relayed move or look
    int current = -1; // the tool whose tip shows
    bool active = true;
    std::string text; // shown, or shown last
    UINT initial = 500, reshow = 100, autopop = 5000;
};

std::map<HWND, Tip> &Tips()
{
    static std::map<HWND, Tip> tips;
    return tips;
}

void EmitTip(const char *kind, const std::string &text, const RECT *rect)
{
    Event event;
    event.kind = kind;
    event.fields = {{"text", JsonString(text)}};
    if (rect)
        event.fields.push_back({"rect", "[" + std::to_string(rect->left) + "," +
                                            std::to_string(rect->top) + "," +
                                            std::to_string(rect->right - rect->left) + "," +
                                            std::to_string(rect->bottom - rect->top) + "]"});
    Desktop::Current().Emit(event);
}

const TTTOOLINFOA *Info(LPARAM lParam)
{
    return reinterpret_cast<const TTTOOLINFOA *>(lParam);
}

std::string ToolText(const TTTOOLINFOA &info, DWORD style)
{
    if (info.cbSize < TTTOOLINFOA_V1_SIZE || !info.lpszText) return "";
    if (info.lpszText == LPSTR_TEXTCALLBACKA || IS_INTRESOURCE(info.lpszText))
        throw SimulationError("tool tip texts from callbacks or resources are not simulated");
    std::string text = info.lpszText;
    // A tab ends the text unless the control shows prefixes as they are.
    if (!(style & TTS_NOPREFIX)) text = text.substr(0, text.find('\t'));
    return text;
}

int ToolFromInfo(const Tip &tip, const TTTOOLINFOA &info)
{
    for (size_t i = 0; i < tip.tools.size(); ++i)
        if (!(tip.tools[i].flags & TTF_IDISHWND) && tip.tools[i].hwnd == info.hwnd &&
            tip.tools[i].id == info.uId)
            return static_cast<int>(i);
    for (size_t i = 0; i < tip.tools.size(); ++i)
        if ((tip.tools[i].flags & TTF_IDISHWND) && tip.tools[i].id == info.uId)
            return static_cast<int>(i);
    return -1;
}

int ToolFromPoint(const Tip &tip, HWND hwnd, POINT point)
{
    for (size_t i = 0; i < tip.tools.size(); ++i) {
        const Tool &tool = tip.tools[i];
        if (!(tool.flags & TTF_IDISHWND) && tool.hwnd == hwnd && point.x >= tool.rect.left &&
            point.x < tool.rect.right && point.y >= tool.rect.top && point.y < tool.rect.bottom)
            return static_cast<int>(i);
    }
    for (size_t i = 0; i < tip.tools.size(); ++i)
        if ((tip.tools[i].flags & TTF_IDISHWND) && reinterpret_cast<HWND>(tip.tools[i].id) == hwnd)
            return static_cast<int>(i);
    return -1;
}

DWORD Style(HWND hwnd)
{
    WindowObject *window = FindWindowObject(hwnd);
    return window ? window->style : 0;
}

bool IsActive(HWND hwnd)
{
    HWND active = GetActiveWindow();
    for (WindowObject *window = FindWindowObject(hwnd); active && window;
         window = window->parent ? FindWindowObject(window->parent) : nullptr)
        if (window->handle == active) return true;
    return false;
}

// The tool under the pointer now; with the show test, only one whose window is active unless
// the control always shows tips.
int LookAtPointer(HWND self, const Tip &tip, bool showTest)
{
    POINT point{};
    (void)GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    if (!under) return -1;
    (void)ScreenToClient(under, &point);
    int found = ToolFromPoint(tip, under, point);
    if (found == -1) return -1;
    const Tool &tool = tip.tools[static_cast<size_t>(found)];
    HWND owner = (tool.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.id) : tool.hwnd;
    if (showTest && !(Style(self) & TTS_ALWAYSTIP) && !IsActive(owner)) return -1;
    return found;
}

std::vector<WCHAR> Wide(const std::string &text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(std::max(length, 1)), 0);
    (void)MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

SIZE TipSize(HWND self, const std::string &text)
{
    std::vector<WCHAR> wide = Wide(text);
    SIZE extent{0, 0};
    HDC dc = GetDC(self);
    (void)GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size() - 1), &extent);
    (void)ReleaseDC(self, dc);
    return SIZE{extent.cx + 2 * TextMargin, extent.cy + 2 * TextMargin};
}

RECT ToolOnScreen(const Tool &tool)
{
    RECT r = tool.rect;
    if (tool.flags & TTF_IDISHWND) {
        (void)GetWindowRect(reinterpret_cast<HWND>(tool.id), &r);
        return r;
    }
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    for (POINT &corner : corners)
        (void)ClientToScreen(tool.hwnd, &corner);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void Hide(HWND self, Tip &tip)
{
    if (tip.current == -1) return;
    (void)KillTimer(self, PopTimer);
    tip.current = -1;
    (void)ShowWindow(self, SW_HIDE);
    EmitTip("tooltip.hide", tip.text, nullptr);
}

void Show(HWND self, Tip &tip)
{
    if (tip.tool == -1) return;
    const Tool &tool = tip.tools[static_cast<size_t>(tip.tool)];
    if (tool.text.empty()) return;
    tip.current = tip.tool;
    tip.text = tool.text;
    SIZE size = TipSize(self, tip.text);
    RECT around = ToolOnScreen(tool);
    RECT r{};
    if (tool.flags & TTF_CENTERTIP) {
        r.left = (around.left + around.right - size.cx) / 2;
        r.top = around.bottom + 2;
    } else {
        POINT pointer{};
        (void)GetCursorPos(&pointer);
        r.left = pointer.x;
        r.top = pointer.y + 20;
    }
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    // Kept on the screen: moved left, or right, or put above the tool.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (r.right > width) {
        r.left -= size.cx - (StemIndent + StemWidth);
        r.right -= size.cx - (StemIndent + StemWidth);
        if (r.right > width) {
            r.left -= r.right - width;
            r.right = width;
        }
    }
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.bottom > height) {
        r.bottom = around.top - 2;
        r.top = r.bottom - size.cy;
    }
    // The one-pixel border round the text's area.
    r = RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    WindowObject *window = FindWindowObject(self);
    window->title = tip.text;
    (void)MoveWindow(self, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    // On top of every window, the top-most ones included, and not activated.
    window->exStyle |= WS_EX_TOPMOST;
    BringToTop(self);
    (void)ShowWindow(self, SW_SHOWNA);
    (void)InvalidateRect(self, nullptr, TRUE);
    (void)UpdateWindow(self);
    (void)SetTimer(self, PopTimer, tip.autopop, nullptr);
    (void)SetTimer(self, LeaveTimer, tip.reshow, nullptr);
    EmitTip("tooltip.show", tip.text, &r);
}

void Paint(HWND self, const Tip &tip)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(self, &paint);
    RECT client{};
    (void)GetClientRect(self, &client);
    HBRUSH background = CreateSolidBrush(InfoBackground);
    (void)FillRect(dc, &client, background);
    (void)DeleteObject(background);
    (void)SetBkMode(dc, TRANSPARENT);
    (void)SetTextColor(dc, InfoText);
    std::vector<WCHAR> wide = Wide(tip.text);
    (void)TextOutW(dc, TextMargin, TextMargin, wide.data(), static_cast<int>(wide.size() - 1));
    (void)EndPaint(self, &paint);
}

// The pointer looked at after the delay, or while the tip shows; the tip's time is up.
void Timer(HWND self, Tip &tip, UINT_PTR timer)
{
    if (timer == ShowTimer) {
        (void)KillTimer(self, ShowTimer);
        int before = tip.tool;
        tip.tool = LookAtPointer(self, tip, true);
        if (tip.tool == before) Show(self, tip);
    } else if (timer == PopTimer) {
        Hide(self, tip);
    } else if (timer == LeaveTimer) {
        int before = tip.tool;
        tip.tool = LookAtPointer(self, tip, false);
        // The pointer came onto a tool only by a relayed move, which the look does not replace.
        if (tip.tool == before || before == -1) return;
        Hide(self, tip);
        (void)KillTimer(self, LeaveTimer);
        // Onto another tool: its tip after the shorter delay.
        if (tip.tool != -1 && tip.active) (void)SetTimer(self, ShowTimer, tip.reshow, nullptr);
    }
}

void Relay(HWND self, Tip &tip, const MSG &relayed)
{
    switch (relayed.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        Hide(self, tip);
        return;
    case WM_MOUSEMOVE: {
        POINT point{static_cast<short>(LOWORD(relayed.lParam)),
                    static_cast<short>(HIWORD(relayed.lParam))};
        int before = tip.tool;
        tip.tool = ToolFromPoint(tip, relayed.hwnd, point);
        if (tip.tool != before) {
            if (tip.tool == -1) {
                // Off every tool.
                Hide(self, tip);
                (void)KillTimer(self, LeaveTimer);
            } else if (before == -1) {
                // Onto a tool from outside.
                if (tip.active) (void)SetTimer(self, ShowTimer, tip.initial, nullptr);
            } else {
                // From one tool onto another.
                Hide(self, tip);
                (void)KillTimer(self, LeaveTimer);
                if (tip.active) (void)SetTimer(self, ShowTimer, tip.reshow, nullptr);
            }
        } else if (tip.current != -1) {
            // Still on the tool whose tip shows: its time starts again.
            (void)KillTimer(self, PopTimer);
            (void)SetTimer(self, PopTimer, tip.autopop, nullptr);
        } else if (tip.tool != -1 && tip.active) {
            // On a tool whose tip does not show (it went, or the last try found no tip).
            (void)SetTimer(self, ShowTimer, tip.initial, nullptr);
        }
        return;
    }
    default:
        return;
    }
}

LRESULT AddTool(HWND self, Tip &tip, LPARAM lParam)
{
    const TTTOOLINFOA *info = Info(lParam);
    if (!info) return FALSE;
    if (info->uFlags & TTF_SUBCLASS)
        throw SimulationError("tool tips that subclass their window are not simulated");
    tip.tools.push_back(
        Tool{info->uFlags, info->hwnd, info->uId, info->rect, ToolText(*info, Style(self))});
    return TRUE;
}

LRESULT DeleteTool(HWND self, Tip &tip, LPARAM lParam)
{
    const TTTOOLINFOA *info = Info(lParam);
    if (!info || tip.tools.empty()) return 0;
    int found = ToolFromInfo(tip, *info);
    if (found == -1) return 0;
    // The tip goes before any tool does.
    Hide(self, tip);
    tip.tools.erase(tip.tools.begin() + found);
    for (int *index : {&tip.tool, &tip.current}) {
        if (*index == found)
            *index = -1;
        else if (*index > found)
            --*index;
    }
    return 0;
}

LRESULT SetToolInfo(HWND self, Tip &tip, LPARAM lParam)
{
    const TTTOOLINFOA *info = Info(lParam);
    if (!info || info->cbSize < TTTOOLINFOA_V1_SIZE) return 0;
    int found = ToolFromInfo(tip, *info);
    if (found == -1) return 0;
    tip.tools[static_cast<size_t>(found)] =
        Tool{info->uFlags, info->hwnd, info->uId, info->rect, ToolText(*info, Style(self))};
    if (tip.current == found) {
        if (tip.tools[static_cast<size_t>(found)].text.empty())
            Hide(self, tip);
        else
            Show(self, tip);
    }
    return 0;
}

LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformCode platform;
    if (message == WM_NCCREATE) {
        // Always a bordered pop-up window, whatever style it was made with; it has window events
        // of its own (tooltip.show and tooltip.hide).
        WindowObject *window = FindWindowObject(hwnd);
        window->style = (window->style & ~(WS_CHILD | WS_BORDER | WS_DLGFRAME)) | WS_POPUP |
                        WS_BORDER | WS_CLIPSIBLINGS;
        window->exStyle |= WS_EX_TOOLWINDOW;
        window->quiet = true;
        Tips()[hwnd] = Tip{};
        return TRUE;
    }
    auto found = Tips().find(hwnd);
    if (found == Tips().end()) return DefWindowProcA(hwnd, message, wParam, lParam);
    Tip &tip = found->second;
    switch (message) {
    case TTM_ACTIVATE:
        tip.active = wParam != 0;
        if (!tip.active) Hide(hwnd, tip);
        return 0;
    case TTM_ADDTOOLA:
        return AddTool(hwnd, tip, lParam);
    case TTM_DELTOOLA:
        return DeleteTool(hwnd, tip, lParam);
    case TTM_SETTOOLINFOA:
        return SetToolInfo(hwnd, tip, lParam);
    case TTM_RELAYEVENT:
        if (lParam) Relay(hwnd, tip, *reinterpret_cast<const MSG *>(lParam));
        return 0;
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(tip.tools.size());
    case TTM_POP:
        Hide(hwnd, tip);
        return 0;
    case WM_TIMER:
        Timer(hwnd, tip, wParam);
        return 0;
    case WM_PAINT:
        Paint(hwnd, tip);
        return 0;
    case WM_ERASEBKGND:
        // The background is drawn with the text.
        return 0;
    case WM_NCHITTEST:
        // The tip of a tool with TTF_TRANSPARENT lets the mouse through to the window below.
        if (tip.current != -1 &&
            (tip.tools[static_cast<size_t>(tip.current)].flags & TTF_TRANSPARENT))
            return HTTRANSPARENT;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        // The pointer on the tip itself sends it away; the click that brought it there goes on
        // to the window below once the tip has gone.
        Hide(hwnd, tip);
        return 0;
    case WM_NCDESTROY:
        Tips().erase(found);
        return 0;
    default:
        if (message >= WM_USER && message < 0x8000)
            throw SimulationError("tool tip message WM_USER+" + std::to_string(message - WM_USER) +
                                  " is not simulated");
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void ResetToolTipsState()
{
    Tips().clear();
}

std::vector<ToolTipInfo> Desktop::ToolTips() const
{
    std::vector<ToolTipInfo> all;
    for (const auto &[hwnd, tip] : Tips()) {
        const WindowObject *window = FindWindowObject(hwnd);
        if (!window) continue;
        all.push_back(ToolTipInfo{hwnd, window->owner, static_cast<int>(tip.tools.size()),
                                  window->visible, tip.text, window->rect});
    }
    return all;
}

std::optional<ToolTipInfo> Desktop::ShownToolTip() const
{
    for (const ToolTipInfo &tip : ToolTips())
        if (tip.visible) return tip;
    return std::nullopt;
}

} // namespace sim

using namespace sim;

void WINAPI InitCommonControls(void)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    std::string key = Upper(TOOLTIPS_CLASSA);
    if (process->classes.count(key)) return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ToolTipProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = TOOLTIPS_CLASSA;
    process->classes[key] = wc;
    process->classNames[key] = TOOLTIPS_CLASSA;
}
