// Scenarios of mouse input at a screen point: which window gets it (a top-most full-screen
// pop-up covers the others, hidden windows are not hit, a disabled window gets only
// WM_SETCURSOR with HTERROR), the client coordinates and button state of the messages,
// WM_SETCURSOR before each of them, double clicks only for classes with CS_DBLCLKS and only
// within the double-click time and distance, DefWindowProcA's WM_SETCURSOR with and without a
// class cursor, SetCursor and LoadCursorA, GetMessagePos and GetMessageTime of mouse messages, and
// a click on a window that a message box has disabled, read by the message box's loop.
#include "tests/conformance/probe/probe.h"

#include <iterator>

namespace
{

constexpr char BareClass[] = "ZelmoProbeBare";        // no class cursor, no brush
constexpr char DoubleClass[] = "ZelmoProbeDoubleClk"; // CS_DBLCLKS, the arrow

// A place on the screen where no window of the probe is.
constexpr POINT Parking{1000, 740};

HWND Top = nullptr;
HWND Other = nullptr;

void RegisterClasses()
{
    probe::RegisterProbeWindowClass(BareClass, 0, nullptr, nullptr);
    probe::RegisterProbeWindowClass(DoubleClass, CS_DBLCLKS,
                                    static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                                    LoadCursorA(nullptr, IDC_ARROW));
}

std::string CursorName(HCURSOR cursor)
{
    if (!cursor) return "none";
    if (cursor == LoadCursorA(nullptr, IDC_ARROW)) return "arrow";
    if (cursor == LoadCursorA(nullptr, IDC_CROSS)) return "cross";
    return "other";
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK;
}

// Every window of the area: where the system says the mouse message happened and whether its
// time is the input's (a tick count of the last few seconds, not zero); the pointer's shape
// after DefWindowProcA's handling of WM_SETCURSOR.
LRESULT MouseHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (IsMouseMessage(message)) {
        DWORD position = GetMessagePos();
        DWORD age = GetTickCount() - static_cast<DWORD>(GetMessageTime());
        probe::Trace("  GetMessagePos " + std::to_string(static_cast<short>(LOWORD(position))) +
                     "," + std::to_string(static_cast<short>(HIWORD(position))) +
                     " GetMessageTime " + (GetMessageTime() != 0 && age < 5000 ? "recent" : "old"));
    }
    if (message == WM_SETCURSOR) {
        *handled = true;
        // What it answers is not traced: nothing relies on it for a top-level window, and Wine
        // answers FALSE where Windows answers TRUE.
        LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        probe::Trace("  DefWindowProcA WM_SETCURSOR, cursor " + CursorName(GetCursor()));
        return result;
    }
    return 0;
}

// Shown and painted at once: a window that appears under the resting pointer gets a mouse move
// when the system notices, which under Wine may be before or after a paint left to the loop.
void ShowPainted(HWND hwnd, int how)
{
    (void)ShowWindow(hwnd, how);
    (void)UpdateWindow(hwnd);
}

void Park()
{
    probe::UserPointer(Parking.x, Parking.y);
}

probe::Step Do(const char *what, std::function<void()> action)
{
    return [=] {
        probe::Trace(std::string("-- ") + what);
        action();
    };
}

// ---- topmost: a full-screen top-most pop-up gets the mouse over the window it covers; hidden,
// it lets the mouse through; a disabled window gets WM_SETCURSOR with HTERROR and nothing else.

void TopmostFullScreen()
{
    RegisterClasses();
    // The pointer rests where the full-screen window will appear.
    Park();
    Other = probe::CreateProbeWindow("other", nullptr, MouseHandler);
    Top =
        probe::CreateProbeWindow("top", nullptr, MouseHandler, WS_POPUP, WS_EX_TOPMOST, BareClass);
    (void)MoveWindow(Top, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     FALSE);
    ShowPainted(Other, SW_SHOWNA);
    ShowPainted(Top, SW_SHOW);
    probe::StartUser(Top, {
                              probe::Pause(10),
                              Do("move to 300,200", [] { probe::UserPointer(300, 200); }),
                              Do("left click 150,150", [] { probe::UserLeftClick(150, 150); }),
                              Do("right click 150,150", [] { probe::UserRightClick(150, 150); }),
                              Do("hide top", [] { (void)ShowWindow(Top, SW_HIDE); }),
                              Do("left click 160,170", [] { probe::UserLeftClick(160, 170); }),
                              Do("disable other", [] { (void)EnableWindow(Other, FALSE); }),
                              Do("left click 170,170", [] { probe::UserLeftClick(170, 170); }),
                              Do("enable other", [] { (void)EnableWindow(Other, TRUE); }),
                              Do("move to 20,20", [] { probe::UserPointer(20, 20); }),
                              Park,
                              probe::ScenarioDone,
                          });
    probe::RunScenarioLoop();
}

// ---- double-clicks: two presses at one place within the double-click time make the second a
// double click only in a class with CS_DBLCLKS; a third press is a press again; a slow or a
// distant second press is a press.

// Two windows side by side: "plain" of the probe's class at 100,100 and one of another class at
// 400,100; the pointer parked away from both. Returns the plain one.
HWND SideBySide(const char *role, const char *className)
{
    RegisterClasses();
    Park();
    HWND plain = probe::CreateProbeWindow("plain", nullptr, MouseHandler);
    HWND other = probe::CreateProbeWindow(role, nullptr, MouseHandler, WS_POPUP, 0, className);
    (void)MoveWindow(other, 400, 100, 200, 150, FALSE);
    ShowPainted(plain, SW_SHOW);
    ShowPainted(other, SW_SHOW);
    return plain;
}

void DoubleClicks()
{
    HWND plain = SideBySide("dblclks", DoubleClass);
    probe::StartUser(plain,
                     {
                         probe::Pause(10),
                         Do("double click on plain", [] { probe::UserDoubleClick(150, 150); }),
                         Do("double click on dblclks", [] { probe::UserDoubleClick(450, 150); }),
                         Do("triple click on dblclks",
                            [] {
                                probe::UserDoubleClick(460, 150);
                                probe::UserLeftClick(460, 150);
                            }),
                         Do("right double click on dblclks",
                            [] {
                                probe::UserRightClick(470, 150);
                                probe::UserRightClick(470, 150);
                            }),
                         Do("slow second click on dblclks",
                            [] {
                                probe::UserLeftClick(480, 150);
                                // Three times the double-click time.
                                Sleep(1500);
                                probe::UserLeftClick(480, 150);
                            }),
                         Do("distant second click on dblclks",
                            [] {
                                probe::UserLeftClick(500, 150);
                                probe::UserLeftClick(505, 150);
                            }),
                         Park,
                         probe::ScenarioDone,
                     });
    probe::RunScenarioLoop();
}

// ---- set-cursor: DefWindowProcA sets the class cursor; without one it leaves the shape the
// program set with SetCursor.

void SetCursorShapes()
{
    HWND plain = SideBySide("bare", BareClass);
    probe::Trace(
        std::string("LoadCursorA arrow twice: ") +
        (LoadCursorA(nullptr, IDC_ARROW) == LoadCursorA(nullptr, IDC_ARROW) ? "same" : "differ"));
    probe::Trace(
        std::string("LoadCursorA arrow and cross: ") +
        (LoadCursorA(nullptr, IDC_ARROW) != LoadCursorA(nullptr, IDC_CROSS) ? "differ" : "same"));
    probe::StartUser(
        plain, {
                   probe::Pause(10),
                   Do("cross set", [] { (void)SetCursor(LoadCursorA(nullptr, IDC_CROSS)); }),
                   Do("move over plain", [] { probe::UserPointer(150, 150); }),
                   Do("move over bare", [] { probe::UserPointer(450, 150); }),
                   Do("cross set",
                      [] {
                          probe::Trace("SetCursor -> " +
                                       CursorName(SetCursor(LoadCursorA(nullptr, IDC_CROSS))));
                      }),
                   Do("move within bare", [] { probe::UserPointer(460, 150); }),
                   Do("arrow set",
                      [] {
                          probe::Trace("SetCursor -> " +
                                       CursorName(SetCursor(LoadCursorA(nullptr, IDC_ARROW))));
                          probe::Trace("GetCursor -> " + CursorName(GetCursor()));
                      }),
                   Park,
                   probe::ScenarioDone,
               });
    probe::RunScenarioLoop();
}

// ---- messagebox-over-window: a message box disables its owner; while it is open, a click on
// the owner (away from the box) gets only WM_SETCURSOR with HTERROR, read by the box's loop;
// once it is answered, the owner is enabled and a click there reaches it.

HWND Box = nullptr;

void MessageBoxOverWindow()
{
    RegisterClasses();
    Park();
    HWND owner = probe::CreateProbeWindow("owner", nullptr, MouseHandler);
    ShowPainted(owner, SW_SHOW);
    Box = nullptr;
    probe::StartUser(
        owner, {
                   probe::Pause(10),
                   [owner] {
                       int answer =
                           MessageBoxA(owner, "Probe over window", "Probe mouse box", MB_OK);
                       probe::TraceResult("MessageBoxA", answer);
                       probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(owner));
                   },
                   probe::WaitUntil(
                       "box shown",
                       [] {
                           Box = probe::FindTopWindow("#32770", "Probe mouse box");
                           return Box && IsWindowVisible(Box);
                       },
                       [owner] {
                           probe::NameWindow(Box, "box");
                           probe::TraceResult("IsWindowEnabled owner", IsWindowEnabled(owner));
                       }),
                   Do("left click 120,120 on the owner", [] { probe::UserLeftClick(120, 120); }),
                   Do("answer the box", [] { probe::UserClick(Box, IDOK); }),
                   Do("left click 130,120 on the owner", [] { probe::UserLeftClick(130, 120); }),
                   Park,
                   probe::ScenarioDone,
               });
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"topmost", TopmostFullScreen},
    {"double-clicks", DoubleClicks},
    {"set-cursor", SetCursorShapes},
    {"messagebox-over-window", MessageBoxOverWindow},
};

} // namespace

extern const probe::Area mouseArea = {"mouse", Scenarios, std::size(Scenarios)};
