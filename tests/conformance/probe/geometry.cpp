// Scenarios of window geometry as ZelmoSound's dialogs and time-signal window get it: dialog
// units made pixels in each of the program's dialog templates (copies in probe.rc, with their
// fonts), the dialog's frame and caption round its client area and every control's rectangle;
// a dialog placed from its owner's client area and kept on the screen; MoveWindow and
// GetWindowRect with sizes below zero and places off the screen; and the program's own
// placement near the cursor (ZelmoGetWindowPosition, ground/placement.cpp) with the pointer at
// each edge and corner of the screen, for a dialog as it initialises and for a window of the
// time signal's size.
#include "tests/conformance/probe/probe.h"

#include "ground/placement.h"
#include "resources/resource.h"

#include <iterator>
#include <string>
#include <vector>

namespace
{

std::string Text(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

std::string WindowRect(HWND hwnd)
{
    RECT r{};
    (void)GetWindowRect(hwnd, &r);
    return Text(r);
}

// ---- templates: each of the program's dialogs as it initialises: its window, its client area
// and where its client area lies, and each control's class, id and rectangle in the client area.

INT_PTR CALLBACK MeasureDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    RECT client{};
    (void)GetClientRect(dialog, &client);
    POINT origin{0, 0};
    (void)ClientToScreen(dialog, &origin);
    probe::Trace("window " + WindowRect(dialog) + ", client " + Text(client) + " at " +
                 std::to_string(origin.x) + "," + std::to_string(origin.y));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        (void)GetWindowRect(child, &r);
        RECT inside{};
        (void)GetClientRect(child, &inside);
        char name[32] = "";
        (void)GetClassNameA(child, name, sizeof name);
        r = RECT{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
        probe::Trace(std::string("  ") + name + " " + std::to_string(GetDlgCtrlID(child)) + " " +
                     Text(r) + ", client " + std::to_string(inside.right) + "x" +
                     std::to_string(inside.bottom));
    }
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void Templates()
{
    for (int id : {IDD_PAGE1, IDD_PAGE2, IDD_REGIST, IDD_DELETE, IDD_ABOUT})
        probe::TraceResult("DialogBoxParamA " + std::to_string(id),
                           probe::RunProbeDialog(id, nullptr, "dialog", MeasureDialog));
}

// ---- owned-dialogs: the About box's template place (0, 0) is counted from its owner's client
// area, the frame and caption lying outside it; an owner near the screen's right and bottom
// edges, or beyond its left and top ones, has the dialog kept on the screen.

INT_PTR CALLBACK PlaceDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    probe::Trace("dialog " + WindowRect(dialog));
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void OwnedDialogs()
{
    HWND owner = probe::CreateProbeWindow("owner", nullptr, nullptr, WS_POPUP | WS_CAPTION);
    for (POINT place : {POINT{200, 150}, POINT{900, 700}, POINT{-50, -60}}) {
        (void)MoveWindow(owner, place.x, place.y, 300, 200, FALSE);
        probe::Trace("owner " + WindowRect(owner));
        (void)probe::RunProbeDialog(IDD_ABOUT, owner, "dialog", PlaceDialog);
    }
}

// ---- move-window: MoveWindow takes places off the screen and sizes larger than it as given,
// and a size below zero as none.

void MoveWindowEdges()
{
    HWND window = probe::CreateProbeWindow("window", nullptr, nullptr);
    const RECT moves[] = {{-50, -60, 100, 70},
                          {1000, 700, 200, 150},
                          {10, 20, -5, 30},
                          {10, 20, 30, -5},
                          {0, 0, 5000, 4000}};
    for (const RECT &move : moves) {
        BOOL moved = MoveWindow(window, move.left, move.top, move.right, move.bottom, TRUE);
        RECT client{};
        (void)GetClientRect(window, &client);
        probe::Trace("MoveWindow " + std::to_string(move.left) + "," + std::to_string(move.top) +
                     " " + std::to_string(move.right) + "x" + std::to_string(move.bottom) + " -> " +
                     std::to_string(moved) + ": " + WindowRect(window) + ", client " +
                     std::to_string(client.right) + "x" + std::to_string(client.bottom));
    }
}

// ---- placement: the pointer at a corner, an edge, the middle of the screen, just where the
// About box's width and height make the corner rule turn, and pushed past the bottom-right
// corner; each time the About box placed as it initialises (not yet shown), and a hidden window
// of the time signal's size placed and then given its measured size, as the signal does.

HWND Signal = nullptr;

INT_PTR CALLBACK PlaceAtCursor(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    POINT position{};
    int width = 0, height = 0;
    ZelmoGetWindowPosition(dialog, &position, &width, &height);
    (void)MoveWindow(dialog, position.x, position.y, width, height, TRUE);
    probe::Trace("  About box " + WindowRect(dialog));
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void PlaceBoth()
{
    POINT cursor{};
    (void)GetCursorPos(&cursor);
    probe::Trace("pointer at " + std::to_string(cursor.x) + "," + std::to_string(cursor.y));
    (void)probe::RunProbeDialog(IDD_ABOUT, nullptr, "dialog", PlaceAtCursor);
    (void)MoveWindow(Signal, 0, 0, 140, 70, FALSE);
    POINT position{};
    int width = 0, height = 0;
    ZelmoGetWindowPosition(Signal, &position, &width, &height);
    (void)MoveWindow(Signal, position.x, position.y, 99, 66, FALSE);
    probe::Trace("  signal " + WindowRect(Signal));
}

void Placement()
{
    Signal = probe::CreateProbeWindow("signal", nullptr, nullptr, WS_POPUP,
                                      WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    HWND user = probe::CreateProbeWindow("user", nullptr, nullptr);
    // The About box is 244 x 123: at 244,123 its top-left corner would come to 0,0, which the
    // rule does not take.
    const POINT points[] = {{0, 0},      {1023, 0},  {0, 767},   {1023, 767},
                            {512, 384},  {243, 122}, {244, 123}, {245, 124},
                            {1023, 300}, {600, 767}, {1100, 800}};
    std::vector<probe::Step> steps;
    for (POINT point : points) {
        steps.push_back([point] { probe::UserPointer(point.x, point.y); });
        steps.push_back(PlaceBoth);
    }
    steps.push_back([] { probe::UserPointer(1000, 740); });
    steps.push_back(probe::ScenarioDone);
    probe::StartUser(user, std::move(steps));
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"templates", Templates},
    {"owned-dialogs", OwnedDialogs},
    {"move-window", MoveWindowEdges},
    {"placement", Placement},
};

} // namespace

extern const probe::Area geometryArea = {"geometry", Scenarios, std::size(Scenarios)};
