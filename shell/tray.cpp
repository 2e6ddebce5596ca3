// The tray icon, its day, night and paused pictures, and its menu.
#include "shell/tray.h"

#include "resources/resource.h"
#include "shell/main.h"
#include "shell/recordlayout.h"

#include <cstring>

namespace
{

constexpr UINT TrayIconId = 1;
constexpr char TrayTip[] = "Zelmo Sound v1.00";
static_assert(sizeof TrayTip <= TrayTipField);

struct MenuEntry {
    UINT command; // 0 for a separator
    const char *text;
};

// The tray menu, top to bottom; the pause item's text depends on Executing.
constexpr MenuEntry TrayMenu[] = {
    {IDM_SOUNDSETTINGS, "ゼルモ音の設定(&S)..."},
    {IDM_OTHERSETTINGS, "その他の音の設定(&E)..."},
    {0, nullptr},
    {IDM_REGISTWAVE, "音ファイルの登録(&R)..."},
    {IDM_DELETEWAVE, "音ファイルの削除(&D)..."},
    {0, nullptr},
    {IDM_PAUSE, nullptr},
    {0, nullptr},
    {IDM_JELLY, "ジェリィちゃん(&J)..."},
    {0, nullptr},
    {IDM_HELP, "ヘルプ(&H)..."},
    {IDM_ABOUT, "バージョン情報(&A)..."},
    {0, nullptr},
    {IDM_QUIT, "終了(&X)"},
};
constexpr char PauseText[] = "再生を一時中断する(&I)";
constexpr char ResumeText[] = "再生を再開する(&N)";

// Fills the record and hands it to the shell. The shell keeps its own copy of the picture, so
// the icon loaded here is released at once; a program that pauses and resumes for months does
// not pile up icon handles.
BOOL NotifyTray(HWND hwnd, DWORD operation, const char *iconName)
{
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    // The record's first layout (88 bytes on 32-bit Windows), which every shell accepts.
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = hwnd;
    record.uID = TrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_ZELMO_TRAY;
    record.hIcon =
        static_cast<HICON>(LoadImageA(hInst, iconName, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    // Cut to the first layout's field, the only part of it the shell reads.
    std::strncpy(record.szTip, TrayTip, TrayTipField - 1);
    BOOL result = Shell_NotifyIconA(operation, &record);
    if (record.hIcon) DestroyIcon(record.hIcon);
    return result;
}

} // namespace

int WhichTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour >= 5 && now.wHour <= 18 ? 1 : 0;
}

BOOL ZelmoSetTaskBar(HWND hwnd, DWORD operation)
{
    return NotifyTray(hwnd, operation, WhichTime() == 1 ? "ZELMO_ICON1" : "MOON_ICON1");
}

// The results are not examined: when the shell refuses, no icon shows and nothing is retried.
void ZelmoAddTaskBar(HWND hwnd)
{
    (void)ZelmoSetTaskBar(hwnd, NIM_ADD);
}
void ZelmoDelTaskBar(HWND hwnd)
{
    (void)ZelmoSetTaskBar(hwnd, NIM_DELETE);
}

// The picture follows pause and resume only; it does not change by itself at 5:00 or 19:00.
void ZelmoModTaskBar(HWND hwnd)
{
    bool day = WhichTime() == 1;
    const char *icon = Executing == 1 ? (day ? "ZELMO_ICON1" : "MOON_ICON1")
                                      : (day ? "ZELMO_ICON2" : "MOON_ICON2");
    (void)NotifyTray(hwnd, NIM_MODIFY, icon);
}

void ZelmoPopupMenu(HWND hwnd)
{
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry &entry : TrayMenu) {
        if (entry.command == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const char *text = entry.text;
        if (entry.command == IDM_PAUSE) text = Executing == 1 ? PauseText : ResumeText;
        AppendMenuA(menu, MF_STRING | MF_ENABLED, entry.command, text);
    }
    POINT cursor;
    GetCursorPos(&cursor);
    // The menu's bottom-right corner at the cursor; a choice arrives as a command afterwards.
    TrackPopupMenu(menu, TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                   hwnd, nullptr);
    DestroyMenu(menu);
}
