// Scenarios of the tray icon: Shell_NotifyIconA's add, modify (icon, tip) and delete and what
// each answers out of turn; the mouse reports of the icon's callback message when the user
// points at it, clicks, double-clicks and right-clicks it (pointer input on the shell's icon,
// which the user outside the probe gives: outside.h); and, from inside the right button's
// report, SetForegroundWindow and TrackPopupMenu, whose menu closes when the user clicks
// elsewhere.
#include "tests/conformance/probe/outside.h"
#include "tests/conformance/probe/probe.h"

#include <cstring>
#include <iterator>
#include <map>
#include <string>

namespace
{

// The callback message: outside the range the trace writes by itself, so that the handler can
// write the reports (and a run of pointer moves as one, however many the system makes of them).
constexpr UINT WM_TRAY = WM_APP + 1;
constexpr UINT IconId = 1;
constexpr UINT AllParts = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// Where the user clicks while the menu is open: the bystander window, far from the tray and the
// menu on both sides.
constexpr RECT BystanderRect{600, 400, 800, 550};
constexpr POINT Elsewhere{700, 475};
// Where the pointer waits before the bystander shows: on no window, and not on the tray.
constexpr POINT Parking{1000, 740};
// The outside user takes a moment (under Wine a program run to find the icon): a long limit.
constexpr int OutsideLimit = 600;
// Ticks that pass between two requests, more than the double-click time.
constexpr int Apart = 12;

HWND Owner = nullptr;
HWND Bystander = nullptr;
UINT LastReport = 0;
std::map<UINT, int> Reports; // by mouse message
bool MenuOpen = false;
bool MenuReturned = false;

void Notify(const std::string &what, DWORD message, UINT id, UINT parts, const char *icon = nullptr,
            const char *tip = nullptr, DWORD size = NOTIFYICONDATAA_V1_SIZE)
{
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = size;
    record.hWnd = Owner;
    record.uID = id;
    record.uFlags = parts;
    record.uCallbackMessage = WM_TRAY;
    if (icon)
        record.hIcon = static_cast<HICON>(
            LoadImageA(probe::ModuleInstance(), icon, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (tip) std::strncpy(record.szTip, tip, sizeof record.szTip - 1);
    probe::TraceResult("Shell_NotifyIconA " + what, Shell_NotifyIconA(message, &record));
    // The shell keeps its own copy of the picture.
    if (record.hIcon) (void)DestroyIcon(record.hIcon);
}

void AddIcon(const std::string &what)
{
    Notify(what, NIM_ADD, IconId, AllParts, "JELLY00_ICON", "Probe tip");
}

// Every answer in and out of turn: nothing to change or delete before the add, no second add
// of one id, a second id beside the first, and the record in both of its sizes.
void AddModifyDelete()
{
    Owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    Notify("modify before add", NIM_MODIFY, IconId, AllParts, "JELLY00_ICON", "Probe tip");
    Notify("delete before add", NIM_DELETE, IconId, 0);
    AddIcon("add");
    AddIcon("add again");
    Notify("modify icon", NIM_MODIFY, IconId, NIF_ICON, "JBACK1_ICON");
    Notify("modify tip", NIM_MODIFY, IconId, NIF_TIP, nullptr, "Another probe tip");
    Notify("modify with the whole record", NIM_MODIFY, IconId, AllParts, "JELLY00_ICON",
           "Probe tip", sizeof(NOTIFYICONDATAA));
    Notify("add a second id", NIM_ADD, IconId + 1, AllParts, "JBACK1_ICON", "Second tip");
    Notify("delete the second id", NIM_DELETE, IconId + 1, 0);
    Notify("delete", NIM_DELETE, IconId, 0);
    Notify("delete again", NIM_DELETE, IconId, 0);
}

const char *MouseName(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
        return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK:
        return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN:
        return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
        return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK:
        return "WM_RBUTTONDBLCLK";
    default:
        return nullptr;
    }
}

// The menu as a program opens it from the icon: in the foreground, at the cursor, its
// bottom-right corner there.
void OpenMenu()
{
    probe::TraceResult("SetForegroundWindow owner", SetForegroundWindow(Owner));
    POINT cursor{};
    (void)GetCursorPos(&cursor);
    HMENU menu = CreatePopupMenu();
    (void)AppendMenuA(menu, MF_STRING, 1001, "&Alpha");
    (void)AppendMenuA(menu, MF_STRING, 1002, "&Beta");
    MenuOpen = true;
    BOOL result = TrackPopupMenu(menu, TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x,
                                 cursor.y, 0, Owner, nullptr);
    MenuOpen = false;
    MenuReturned = true;
    probe::TraceResult("TrackPopupMenu", result);
    (void)DestroyMenu(menu);
}

LRESULT TrayHandler(HWND, UINT message, WPARAM wParam, LPARAM lParam, bool *handled)
{
    if (message != WM_TRAY) return 0;
    *handled = true;
    const auto mouse = static_cast<UINT>(lParam);
    const char *name = MouseName(mouse);
    if (!name) {
        probe::Trace("callback " + std::to_string(wParam) + " " + std::to_string(mouse));
        return 0;
    }
    ++Reports[mouse];
    if (!(mouse == WM_MOUSEMOVE && LastReport == WM_MOUSEMOVE))
        probe::Trace("callback " + std::to_string(wParam) + " " + name);
    LastReport = mouse;
    if (mouse == WM_RBUTTONUP) OpenMenu();
    return 0;
}

probe::Step Ask(const char *request)
{
    return [request] { probe::UserOutside(request); };
}

probe::Step WaitReports(const char *what, UINT mouse, int count)
{
    return probe::WaitUntil(
        what, [mouse, count] { return Reports[mouse] >= count; }, nullptr, OutsideLimit);
}

// The user points at the icon, clicks it, double-clicks it, right-clicks it, and clicks on
// another window while the menu is open: the menu ends with nothing chosen, and what becomes of
// that click shows in the bystander's messages.
void ClicksAndMenu()
{
    Reports.clear();
    LastReport = 0;
    MenuOpen = MenuReturned = false;
    Owner = probe::CreateProbeWindow("owner", nullptr, TrayHandler);
    Bystander = probe::CreateProbeWindow("bystander", nullptr, nullptr);
    (void)MoveWindow(Bystander, BystanderRect.left, BystanderRect.top,
                     BystanderRect.right - BystanderRect.left,
                     BystanderRect.bottom - BystanderRect.top, FALSE);
    AddIcon("add");
    probe::StartUser(Owner, {
                                [] { probe::UserPointer(Parking.x, Parking.y); },
                                probe::Pause(4),
                                [] {
                                    (void)ShowWindow(Bystander, SW_SHOWNA);
                                    (void)UpdateWindow(Bystander);
                                },
                                Ask(probe::TrayPoint),
                                WaitReports("the pointer on the icon", WM_MOUSEMOVE, 1),
                                probe::Pause(Apart),
                                Ask(probe::TrayLeftClick),
                                WaitReports("the left click", WM_LBUTTONUP, 1),
                                probe::Pause(Apart),
                                Ask(probe::TrayDoubleClick),
                                WaitReports("the double click", WM_LBUTTONUP, 3),
                                probe::Pause(Apart),
                                Ask(probe::TrayRightClick),
                                probe::WaitUntil(
                                    "the menu", [] { return MenuOpen; }, nullptr, OutsideLimit),
                                probe::Pause(4),
                                [] { probe::UserLeftClick(Elsewhere.x, Elsewhere.y); },
                                probe::WaitUntil("the menu to close", [] { return MenuReturned; }),
                                probe::Pause(4),
                                [] {
                                    Notify("delete", NIM_DELETE, IconId, 0);
                                    probe::ScenarioDone();
                                },
                            });
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"add-modify-delete", AddModifyDelete},
    {"clicks-and-menu", ClicksAndMenu},
};

} // namespace

extern const probe::Area trayArea = {"tray", Scenarios, std::size(Scenarios)};
