// Simulated icons, tray icon and shell: icon resources come from the generated pixel tables of
// the program's icon sources; the tray keeps the record the program last handed it, shows the
// icon in the notification area and reports the pointer's events over it to the program through
// the record's callback message (measured under Wine by the conformance probe's tray area).
#include "platform/sim/icon_table.h"
#include "platform/sim/internal.h"
#include "platform/sim/modal.h"
#include "platform/sim/resources.h"
#include "platform/sim/shell.h"

#include <cstdlib>
#include <cstring>

namespace sim
{

ShellState &Shell()
{
    static ShellState state;
    return state;
}

void ResetShellState()
{
    Shell() = ShellState{};
}

const IconPixels *FindIconPixels(const std::string &name)
{
    for (int i = 0; i < kIconPixelsCount; ++i)
        if (Upper(kIconPixels[i].name) == Upper(name)) return &kIconPixels[i];
    return nullptr;
}

const IconObject *FindIcon(HICON icon)
{
    auto it = Shell().icons.find(icon);
    return it == Shell().icons.end() ? nullptr : &it->second;
}

namespace
{

constexpr UINT DoubleClickTime = 500;
constexpr int DoubleClickDistance = 2;

bool Contains(const RECT &r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Each icon's cell, from the right-hand corner of the screen leftwards.
void PlaceTrayIcons()
{
    const Desktop::Options &options = S().options;
    int right = options.screenWidth;
    for (TrayInfo &icon : Shell().trayIcons) {
        icon.rect =
            RECT{right - TrayCell, options.screenHeight - TrayCell, right, options.screenHeight};
        right -= TrayCell;
    }
}

// A press is a double click when the one before was the same button on the same icon, close in
// time and place (the icons' windows have CS_DBLCLKS); the press after a double click is a press.
UINT TrayDoubleClick(const TrayInfo &icon, UINT message, POINT point, DWORD time)
{
    MSG &last = Shell().lastTrayPress;
    const auto handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(icon.id));
    if (last.message == message && last.hwnd == handle && time - last.time < DoubleClickTime &&
        std::abs(point.x - last.pt.x) < DoubleClickDistance &&
        std::abs(point.y - last.pt.y) < DoubleClickDistance) {
        last.message = 0;
        return message + WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    }
    last = MSG{handle, message, 0, 0, time, point};
    return message;
}

void EmitTray(const char *what, const TrayInfo &tray)
{
    Event event;
    event.kind = what;
    event.fields = {{"icon", JsonString(tray.iconName)}, {"tip", JsonString(tray.tip)}};
    Desktop::Current().Emit(event);
}

} // namespace

const TrayInfo *TrayIconAt(POINT point)
{
    for (const TrayInfo &icon : Shell().trayIcons)
        if (Contains(icon.rect, point)) return &icon;
    return nullptr;
}

void TrayInput(const TrayInfo &icon, UINT message, POINT point, DWORD time)
{
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN)
        message = TrayDoubleClick(icon, message, point, time);
    // The shell sends the report with SendNotifyMessage: the window procedure gets it ahead of
    // any posted message, when the program next looks at its queue.
    if (icon.callbackMessage)
        SendNotify(icon.hwnd, icon.callbackMessage, icon.id, static_cast<LPARAM>(message));
}

// ---- Desktop methods

std::optional<TrayInfo> Desktop::Tray() const
{
    if (Shell().trayIcons.empty()) return std::nullopt;
    return Shell().trayIcons.front();
}

std::vector<TrayInfo> Desktop::TrayHistory() const
{
    return Shell().trayHistory;
}

POINT Desktop::TrayIconCentre() const
{
    auto tray = Tray();
    if (!tray) throw SimulationError("no tray icon at " + FormatTime(Now()));
    return POINT{(tray->rect.left + tray->rect.right) / 2,
                 (tray->rect.top + tray->rect.bottom) / 2};
}

void Desktop::PointAtTray()
{
    POINT centre = TrayIconCentre();
    MovePointer(centre.x, centre.y);
}

// A user who clicks the icon again means no double click: when the last press on it was within
// the double-click time, the rest of that time passes first.
void Desktop::AwaitSingleClick()
{
    const MSG &last = Shell().lastTrayPress;
    const DWORD since = GetTickCount() - last.time;
    if (last.message != 0 && since < DoubleClickTime) Advance(DoubleClickTime - since);
}

void Desktop::LeftClickTray()
{
    AwaitSingleClick();
    POINT centre = TrayIconCentre();
    LeftClick(centre.x, centre.y);
}

void Desktop::DoubleClickTray()
{
    AwaitSingleClick();
    POINT centre = TrayIconCentre();
    DoubleClick(centre.x, centre.y);
}

void Desktop::RightClickTray()
{
    AwaitSingleClick();
    POINT centre = TrayIconCentre();
    RightClick(centre.x, centre.y);
}

int Desktop::OpenIcons() const
{
    int count = 0;
    for (const auto &[handle, icon] : Shell().icons)
        count += icon.shared ? 0 : 1;
    return count;
}

std::vector<std::string> Desktop::ShellExecutes() const
{
    return Shell().executed;
}

} // namespace sim

using namespace sim;

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    PlatformCode platform;
    (void)instance;
    if (type != IMAGE_ICON) return nullptr;
    std::string key = ResourceKey(name);
    const auto &icons = ProgramResources().icons;
    const IconPixels *pixels = FindIconPixels(key);
    if (icons.find(key) == icons.end() || !pixels) {
        SetLastError(1813); // ERROR_RESOURCE_TYPE_NOT_FOUND
        return nullptr;
    }
    if (flags & LR_SHARED) {
        for (const auto &[handle, icon] : Shell().icons)
            if (icon.shared && icon.name == key) return handle;
    }
    IconObject icon;
    icon.name = key;
    icon.pixels = pixels;
    icon.width = cx ? cx : pixels->width;
    icon.height = cy ? cy : pixels->height;
    icon.shared = (flags & LR_SHARED) != 0;
    HICON handle = reinterpret_cast<HICON>(S().NewHandle());
    Shell().icons[handle] = icon;
    return handle;
}

BOOL WINAPI DestroyIcon(HICON icon)
{
    PlatformCode platform;
    auto it = Shell().icons.find(icon);
    if (it == Shell().icons.end() || it->second.shared) return it != Shell().icons.end();
    Shell().icons.erase(it);
    return TRUE;
}

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    PlatformCode platform;
    // The shell knows the record by its size: the first layout (88 bytes on 32-bit Windows) or
    // the whole record as this header declares it.
    if (!data ||
        (data->cbSize != NOTIFYICONDATAA_V1_SIZE && data->cbSize != sizeof(NOTIFYICONDATAA)))
        return FALSE;
    auto &trays = Shell().trayIcons;
    auto it = std::find_if(trays.begin(), trays.end(), [&](const TrayInfo &t) {
        return t.hwnd == data->hWnd && t.id == data->uID;
    });
    switch (message) {
    case NIM_ADD:
    case NIM_MODIFY: {
        if ((message == NIM_ADD) != (it == trays.end())) return FALSE;
        TrayInfo tray = message == NIM_ADD ? TrayInfo{} : *it;
        tray.hwnd = data->hWnd;
        tray.id = data->uID;
        if (data->uFlags & NIF_MESSAGE) tray.callbackMessage = data->uCallbackMessage;
        if (data->uFlags & NIF_ICON) {
            // The shell keeps its own copy of the picture: the program may free its handle.
            const IconObject *icon = FindIcon(data->hIcon);
            tray.iconName = icon ? icon->name : "";
        }
        if (data->uFlags & NIF_TIP)
            tray.tip = std::string(data->szTip, strnlen(data->szTip, sizeof data->szTip));
        if (message == NIM_ADD)
            trays.push_back(tray);
        else
            *it = tray;
        PlaceTrayIcons();
        PointerWindowMayHaveChanged();
        Shell().trayHistory.push_back(tray);
        EmitTray(message == NIM_ADD ? "tray.add" : "tray.modify", tray);
        return TRUE;
    }
    case NIM_DELETE:
        if (it == trays.end()) return FALSE;
        EmitTray("tray.delete", *it);
        trays.erase(it);
        PlaceTrayIcons();
        PointerWindowMayHaveChanged();
        return TRUE;
    default:
        return FALSE;
    }
}

HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT showCmd)
{
    PlatformCode platform;
    (void)hwnd;
    (void)parameters;
    (void)directory;
    (void)showCmd;
    std::string target = file ? file : "";
    Shell().executed.push_back(std::string(operation ? operation : "open") + " " + target);
    Event event;
    event.kind = "shell.execute";
    event.fields = {{"file", JsonString(target)}};
    Desktop::Current().Emit(event);
    // Values above 32 mean success.
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(
        Desktop::Current().FileExists(target) ? 42 : 2 /* ERROR_FILE_NOT_FOUND */));
}
