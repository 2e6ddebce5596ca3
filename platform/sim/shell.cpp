// Simulated icons, tray icon and shell: icon resources come from the generated pixel tables of
// the program's icon sources; the tray keeps the record the program last handed it and reports
// mouse events to the program through the record's callback message.
#include "icon_table.h"
#include "internal.h"
#include "modal.h"
#include "resources.h"
#include "shell.h"

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

void EmitTray(const char *what, const TrayInfo &tray)
{
    Event event;
    event.kind = what;
    event.fields = {{"icon", JsonString(tray.iconName)}, {"tip", JsonString(tray.tip)}};
    Desktop::Current().Emit(event);
}

} // namespace

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

void Desktop::ClickTray(UINT mouseMessage)
{
    auto tray = Tray();
    if (!tray) throw SimulationError("no tray icon at " + FormatTime(Now()));
    SendNotify(tray->hwnd, tray->callbackMessage, tray->id, static_cast<LPARAM>(mouseMessage));
    RunUntilIdle();
}

void Desktop::RightClickTray()
{
    auto tray = Tray();
    if (!tray) throw SimulationError("no tray icon at " + FormatTime(Now()));
    // Both reports are sent before the program handles either, as the shell sends them: with
    // SendNotifyMessage, so the window procedure gets them ahead of any posted message.
    SendNotify(tray->hwnd, tray->callbackMessage, tray->id, WM_RBUTTONDOWN);
    SendNotify(tray->hwnd, tray->callbackMessage, tray->id, WM_RBUTTONUP);
    RunUntilIdle();
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
        Shell().trayHistory.push_back(tray);
        EmitTray(message == NIM_ADD ? "tray.add" : "tray.modify", tray);
        return TRUE;
    }
    case NIM_DELETE:
        if (it == trays.end()) return FALSE;
        EmitTray("tray.delete", *it);
        trays.erase(it);
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
