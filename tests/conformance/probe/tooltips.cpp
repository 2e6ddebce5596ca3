// Scenarios of the tool tip control as the jelly window uses it: a full-screen top-most owner
// that relays its mouse moves and right button messages (TTM_RELAYEVENT with a filled MSG),
// tools with TTF_CENTERTIP added, changed and deleted by TTM_ADDTOOLA, TTM_SETTOOLINFOA and
// TTM_DELTOOLA. Which tool's text shows where the pointer rests, after the initial delay; the
// tip below the tool's rectangle, centred on it; hidden on leaving the tool or on a relayed
// button message; shown with TTS_ALWAYSTIP while the owner is not active. Only what does not
// depend on font metrics is traced: the tip's text, whether it shows, its top (or bottom) edge
// against the tool's rectangle and its horizontal centre against the tool's within a pixel.
#include "tests/conformance/probe/probe.h"

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace
{

constexpr char OwnerClass[] = "ZelmoProbeTipOwner"; // as the jelly window's: CS_DBLCLKS only
constexpr POINT Parking{1000, 740};

HWND Owner = nullptr;
HWND Tip = nullptr;
// The flags of the tools the scenario adds, besides TTF_CENTERTIP.
UINT ExtraToolFlags = 0;

struct Tool {
    UINT_PTR id;
    RECT rect;
    const char *text;
};

// Tools as the jelly window makes them for jellyfish at (100, 200) and (300, 200): 20 x 20
// squares 4 pixels inside the jellyfish's 32 x 32.
constexpr Tool First{0, {104, 204, 124, 224}, "にゃむにゃむ"};
constexpr Tool Second{1, {304, 204, 324, 224}, "tool one"};

TOOLINFOA Info(const Tool &tool, const char *text = nullptr)
{
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_CENTERTIP | ExtraToolFlags;
    info.hwnd = Owner;
    info.uId = tool.id;
    info.rect = tool.rect;
    info.hinst = nullptr;
    info.lpszText = const_cast<LPSTR>(text ? text : tool.text);
    return info;
}

void AddTool(const Tool &tool)
{
    TOOLINFOA info = Info(tool);
    probe::TraceResult("TTM_ADDTOOLA " + std::to_string(tool.id),
                       SendMessageA(Tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void DeleteTool(const Tool &tool)
{
    TOOLINFOA info = Info(tool);
    probe::TraceResult("TTM_DELTOOLA " + std::to_string(tool.id),
                       SendMessageA(Tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void SetTool(const Tool &tool, const RECT &rect, const char *text)
{
    TOOLINFOA info = Info(tool, text);
    info.rect = rect;
    probe::TraceResult(
        "TTM_SETTOOLINFOA " + std::to_string(tool.id),
        SendMessageA(Tip, TTM_SETTOOLINFOA, tool.id, reinterpret_cast<LPARAM>(&info)));
}

bool TipShown()
{
    return IsWindowVisible(Tip) != FALSE;
}

// What the tip shows, placed against the tool's rectangle.
void TraceTip(const RECT &tool)
{
    if (!TipShown()) {
        probe::Trace("tip hidden");
        return;
    }
    RECT tip{};
    (void)GetWindowRect(Tip, &tip);
    char text[128] = "";
    (void)GetWindowTextA(Tip, text, sizeof text);
    std::string where = tip.top >= tool.bottom
                            ? "top at tool bottom +" + std::to_string(tip.top - tool.bottom)
                            : "bottom at tool top " + std::to_string(tip.bottom - tool.top);
    int offset = std::abs((tip.left + tip.right) - (tool.left + tool.right));
    bool onScreen = tip.left >= 0 && tip.right <= GetSystemMetrics(SM_CXSCREEN) &&
                    tip.bottom <= GetSystemMetrics(SM_CYSCREEN);
    probe::Trace(std::string("tip shows \"") + text + "\", " + where + ", " +
                 (offset <= 2 ? "centred on the tool" : "not centred") +
                 (onScreen ? ", on the screen" : ", off the screen"));
}

// The owner relays exactly what the jelly window relays, before anything else.
LRESULT OwnerHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (message == WM_MOUSEMOVE || message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) {
        MSG relay{};
        relay.hwnd = hwnd;
        relay.message = message;
        relay.wParam = wParam;
        relay.lParam = lParam;
        relay.time = static_cast<DWORD>(GetMessageTime());
        DWORD position = GetMessagePos();
        relay.pt.x = LOWORD(position);
        relay.pt.y = HIWORD(position);
        (void)SendMessageA(Tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    (void)handled;
    return 0;
}

// The owner, full-screen and top-most, shown (and so active), and its tool tip control.
void MakeOwnerAndTip(DWORD tipStyle)
{
    ExtraToolFlags = 0;
    probe::UserPointer(Parking.x, Parking.y);
    InitCommonControls();
    probe::RegisterProbeWindowClass(OwnerClass, CS_DBLCLKS, nullptr, nullptr);
    Owner = probe::CreateProbeWindow("owner", nullptr, OwnerHandler, WS_POPUP, WS_EX_TOPMOST,
                                     OwnerClass);
    (void)MoveWindow(Owner, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     FALSE);
    Tip = CreateWindowExA(0, "tooltips_class32", nullptr, tipStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, Owner, nullptr, probe::ModuleInstance(),
                          nullptr);
    probe::NameWindow(Tip, "tip");
    probe::Trace(std::string("CreateWindowExA tooltips_class32 -> ") + (Tip ? "window" : "null"));
    probe::Trace(std::string("tip visible at creation: ") + (TipShown() ? "yes" : "no"));
    // Painted at once: the mouse move the owner gets for appearing under the resting pointer
    // comes after it on either side.
    (void)ShowWindow(Owner, SW_SHOW);
    (void)UpdateWindow(Owner);
}

probe::Step Do(const char *what, std::function<void()> action)
{
    return [=] {
        probe::Trace(std::string("-- ") + what);
        action();
    };
}

probe::Step WhenShown(const RECT &tool)
{
    return probe::WaitUntil("tip shown", TipShown, [tool] { TraceTip(tool); });
}

probe::Step Check(const RECT &tool)
{
    return [tool] { TraceTip(tool); };
}

// Long enough for the initial delay to pass twice over.
constexpr int Quiet = 50;

// ---- rest-and-move: the tip of the tool the pointer rests on, after the delay; another tool's
// after a move to it; none off the tools; gone on a relayed button message and back only after
// the next move.

void RestAndMove()
{
    MakeOwnerAndTip(TTS_ALWAYSTIP);
    AddTool(First);
    AddTool(Second);
    probe::StartUser(Owner, {
                                probe::Pause(10),
                                Do("rest on the first tool", [] { probe::UserPointer(110, 210); }),
                                WhenShown(First.rect),
                                Do("move to the second tool", [] { probe::UserPointer(310, 210); }),
                                Check(Second.rect),
                                WhenShown(Second.rect),
                                Do("move off the tools", [] { probe::UserPointer(200, 210); }),
                                Check(Second.rect),
                                probe::Pause(Quiet),
                                Check(Second.rect),
                                Do("back to the first tool", [] { probe::UserPointer(112, 212); }),
                                WhenShown(First.rect),
                                Do("right click on it", [] { probe::UserRightClick(112, 212); }),
                                Check(First.rect),
                                probe::Pause(Quiet),
                                Check(First.rect),
                                Do("move within it", [] { probe::UserPointer(113, 213); }),
                                WhenShown(First.rect),
                                Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
                                probe::ScenarioDone,
                            });
    probe::RunScenarioLoop();
}

// ---- change-while-shown: TTM_SETTOOLINFOA of the shown tool shows its new text at its new
// place at once, and the tip goes when the pointer is found outside the new rectangle;
// TTM_DELTOOLA of any tool hides the tip.

constexpr RECT Moved{404, 204, 424, 224};

void ChangeWhileShown()
{
    MakeOwnerAndTip(TTS_ALWAYSTIP);
    AddTool(First);
    AddTool(Second);
    probe::StartUser(
        Owner,
        {
            probe::Pause(10),
            Do("rest on the first tool", [] { probe::UserPointer(110, 210); }),
            WhenShown(First.rect),
            Do("first tool moved away with a new text",
               [] {
                   SetTool(First, Moved, "moved");
                   TraceTip(Moved);
               }),
            probe::WaitUntil(
                "tip hidden", [] { return !TipShown(); }, [] { probe::Trace("tip hidden"); }),
            Do("first tool moved back with another text",
               [] { SetTool(First, First.rect, "back"); }),
            Check(First.rect),
            Do("move within it", [] { probe::UserPointer(111, 211); }),
            WhenShown(First.rect),
            Do("second tool deleted", [] { DeleteTool(Second); }),
            Check(First.rect),
            Do("move within the first", [] { probe::UserPointer(112, 212); }),
            WhenShown(First.rect),
            Do("first tool deleted", [] { DeleteTool(First); }),
            Check(First.rect),
            Do("move within where it was", [] { probe::UserPointer(113, 213); }),
            probe::Pause(Quiet),
            Check(First.rect),
            Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
            probe::ScenarioDone,
        });
    probe::RunScenarioLoop();
}

// ---- same-id-twice: TTM_ADDTOOLA with the window and id of a tool the control holds adds a
// second tool beside the first; TTM_DELTOOLA takes the one added first, and takes nothing once
// no tool has the id. So deleting a tool before adding it again keeps one tool per id.

constexpr Tool Again{0, {304, 204, 324, 224}, "again"};

void TraceToolCount()
{
    probe::Trace("tools: " + std::to_string(SendMessageA(Tip, TTM_GETTOOLCOUNT, 0, 0)));
}

void SameIdTwice()
{
    MakeOwnerAndTip(TTS_ALWAYSTIP);
    AddTool(First);
    AddTool(Again);
    TraceToolCount();
    DeleteTool(First);
    TraceToolCount();
    probe::StartUser(Owner,
                     {
                         probe::Pause(10),
                         Do("rest where the first was", [] { probe::UserPointer(110, 210); }),
                         probe::Pause(Quiet),
                         Check(First.rect),
                         Do("rest on the one added again", [] { probe::UserPointer(310, 210); }),
                         WhenShown(Again.rect),
                         Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
                         Do("delete the id twice, then delete it and add it",
                            [] {
                                DeleteTool(First);
                                TraceToolCount();
                                DeleteTool(First);
                                TraceToolCount();
                                DeleteTool(First);
                                AddTool(First);
                                TraceToolCount();
                            }),
                         probe::ScenarioDone,
                     });
    probe::RunScenarioLoop();
}

// ---- screen-edges: a tool at the bottom of the screen gets its tip above it; one at the right
// edge gets it moved left onto the screen.

Tool BottomTool()
{
    int bottom = GetSystemMetrics(SM_CYSCREEN) - 8;
    return Tool{2, {604, bottom - 20, 624, bottom}, "bottom"};
}

Tool RightTool()
{
    int right = GetSystemMetrics(SM_CXSCREEN) - 8;
    return Tool{3, {right - 20, 304, right, 324}, "a tip at the right edge of the screen"};
}

void ScreenEdges()
{
    MakeOwnerAndTip(TTS_ALWAYSTIP);
    AddTool(BottomTool());
    AddTool(RightTool());
    probe::StartUser(Owner, {
                                probe::Pause(10),
                                Do("rest on the bottom tool",
                                   [] {
                                       RECT r = BottomTool().rect;
                                       probe::UserPointer(r.left + 5, r.top + 5);
                                   }),
                                WhenShown(BottomTool().rect),
                                Do("rest on the right tool",
                                   [] {
                                       RECT r = RightTool().rect;
                                       probe::UserPointer(r.left + 5, r.top + 5);
                                   }),
                                WhenShown(RightTool().rect),
                                Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
                                probe::ScenarioDone,
                            });
    probe::RunScenarioLoop();
}

// ---- inactive-owner: with TTS_ALWAYSTIP the tip shows while another window is active; without
// it, not until the owner is active again.

HWND Front = nullptr;

std::string ActiveIs()
{
    HWND foreground = GetForegroundWindow();
    return foreground == Owner ? "owner" : foreground == Front ? "front" : "another";
}

void InactiveOwner(DWORD tipStyle)
{
    MakeOwnerAndTip(tipStyle);
    AddTool(First);
    // Away from the tool: under Wine without a window manager a window shown later lies above
    // the top-most owner on the X display, and the pointer over both would reach it too.
    Front = probe::CreateProbeWindow("front", nullptr, nullptr);
    (void)MoveWindow(Front, 600, 450, 200, 150, FALSE);
    (void)ShowWindow(Front, SW_SHOW);
    (void)UpdateWindow(Front);
    probe::Trace("foreground: " + ActiveIs());
    probe::StartUser(Owner, {
                                probe::Pause(10),
                                Do("rest on the tool", [] { probe::UserPointer(110, 210); }),
                                probe::Pause(Quiet),
                                Check(First.rect),
                                Do("owner activated",
                                   [] {
                                       (void)SetForegroundWindow(Owner);
                                       probe::Trace("foreground: " + ActiveIs());
                                   }),
                                Do("move within the tool", [] { probe::UserPointer(111, 211); }),
                                WhenShown(First.rect),
                                Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
                                probe::ScenarioDone,
                            });
    probe::RunScenarioLoop();
}

void AlwaysTip()
{
    InactiveOwner(TTS_ALWAYSTIP);
}

void NotAlwaysTip()
{
    InactiveOwner(0);
}

// ---- click-on-tip: the pointer rests on a tool until its tip shows below it, then the user
// clicks on the tip, as on a jellyfish's lower part where its tip lies: which of the owner's
// mouse messages come up to the button's release, and whether the tip goes. With
// TTF_TRANSPARENT the tip lets the mouse through to the owner. The owner here is a window the
// trace does not follow message by message: after the click, the tip that went leaves the
// pointer over the owner, whose move that brings comes when the X server reports it under Wine,
// which is no part of what is measured.

constexpr char ClickOwnerClass[] = "ZelmoProbeClickOwner";
std::vector<std::string> OwnerHeard;

LRESULT CALLBACK ClickOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    (void)OwnerHandler(hwnd, message, wParam, lParam, &handled);
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
        std::string line = probe::DescribeMessage(message, wParam, lParam);
        // Up to the release, the rest is the pointer settling.
        if (OwnerHeard.empty() || OwnerHeard.back().rfind("WM_LBUTTONUP", 0) != 0)
            OwnerHeard.push_back(line);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TraceOwnerHeard()
{
    probe::Trace("owner heard " + std::to_string(OwnerHeard.size()) + ":");
    for (const std::string &line : OwnerHeard)
        probe::Trace("  " + line);
    OwnerHeard.clear();
}

void ClickOnTip(UINT toolFlags)
{
    probe::UserPointer(Parking.x, Parking.y);
    ExtraToolFlags = toolFlags;
    InitCommonControls();
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ClickOwnerProc;
    wc.hInstance = probe::ModuleInstance();
    wc.lpszClassName = ClickOwnerClass;
    (void)RegisterClassA(&wc);
    Owner = CreateWindowExA(WS_EX_TOPMOST, ClickOwnerClass, "", WS_POPUP, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                            nullptr, probe::ModuleInstance(), nullptr);
    probe::NameWindow(Owner, "owner");
    Tip = CreateWindowExA(0, "tooltips_class32", nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Owner, nullptr,
                          probe::ModuleInstance(), nullptr);
    probe::NameWindow(Tip, "tip");
    (void)ShowWindow(Owner, SW_SHOW);
    (void)UpdateWindow(Owner);
    AddTool(First);
    // The user's ticks come from a window of the probe's own, hidden.
    HWND user = probe::CreateProbeWindow("user", nullptr, nullptr);
    probe::StartUser(user, {
                               probe::Pause(10),
                               Do("rest on the tool", [] { probe::UserPointer(110, 210); }),
                               WhenShown(First.rect),
                               Do("click on the tip, 3 pixels below its top",
                                  [] {
                                      OwnerHeard.clear();
                                      RECT tip{};
                                      (void)GetWindowRect(Tip, &tip);
                                      probe::UserLeftClick((tip.left + tip.right) / 2, tip.top + 3);
                                  }),
                               probe::Pause(Quiet),
                               TraceOwnerHeard,
                               Check(First.rect),
                               Do("park", [] { probe::UserPointer(Parking.x, Parking.y); }),
                               [] {
                                   (void)DestroyWindow(Owner);
                                   probe::ScenarioDone();
                               },
                           });
    probe::RunScenarioLoop();
}

void ClickOnTip()
{
    ClickOnTip(0);
}

void ClickOnTransparentTip()
{
    ClickOnTip(TTF_TRANSPARENT);
}

constexpr probe::Scenario Scenarios[] = {
    {"rest-and-move", RestAndMove},
    {"change-while-shown", ChangeWhileShown},
    {"same-id-twice", SameIdTwice},
    {"screen-edges", ScreenEdges},
    {"inactive-owner-always-tip", AlwaysTip},
    {"inactive-owner", NotAlwaysTip},
    {"click-on-tip", ClickOnTip},
    {"click-on-transparent-tip", ClickOnTransparentTip},
};

} // namespace

extern const probe::Area tooltipsArea = {"tooltips", Scenarios, std::size(Scenarios)};
