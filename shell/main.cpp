// Entry, single-instance test, the hidden main window and its event dispatch. The main window
// is never shown: the tray icon's reports, the tray menu's commands and the one-second tick all
// arrive here, and the open flags keep each dialog single and keep the scheduler still while
// sound files are being changed or the jellyfish run.
#include "shell/main.h"

#include "ground/inifile.h"
#include "ground/path.h"
#include "ground/sound.h"
#include "resources/resource.h"
#include "shell/about.h"
#include "shell/tray.h"

#include "jelly/jellywindow.h"
#include "settings/delete.h"
#include "settings/dialogs.h"
#include "settings/regist.h"
#include "timesignal/timesignal.h"

namespace
{
const char WindowTitle[] = "Zelmo Sound version1.00";
// The main window, for the end of the message loop.
HWND MainWindow = nullptr;
} // namespace

void ResetMainState()
{
    MainWindow = nullptr;
}

namespace
{

// Commands 203 and 204 refuse to run beside a sound settings dialog.
constexpr char SettingsOpenMessage[] = "音の設定を終了した後に実行して下さい。";

void RunDialog(HWND hwnd, int templateId, DLGPROC procedure)
{
    // The dialog's result is not used.
    (void)DialogBoxParamA(hInst, MAKEINTRESOURCEA(templateId), hwnd, procedure, 0);
}

void OnCreate(HWND hwnd)
{
    Executing = 1;
    ZelmoInit();
    ReadIniFile();
    ZelmoAddTaskBar(hwnd);
    ZelmoSetTimer(hwnd);
    ZelmoCheckTimer();
    ZelmoTimeSignalWin(hwnd);
    ZelmoJellyWin(hwnd);
}

void OnTimer(WPARAM timerId)
{
    ZelmoTimeSignal();
    if (Executing == 0 || RegistDlg != 0 || DeleteDlg != 0 || ZelmoJelly != 0) return;
    if (timerId == ZELMO_TIMER) TimerCountUp();
    ZelmoCheckTimer();
}

void OnCommand(HWND hwnd, WPARAM command)
{
    switch (command) {
    case IDM_START:
        Executing = 1;
        ZelmoAddTaskBar(hwnd);
        ZelmoSetTimer(hwnd);
        break;
    case IDM_EXIT:
    case IDM_QUIT:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case IDM_SOUNDSETTINGS:
        if (Property1 == 0 && RegistDlg == 0 && DeleteDlg == 0)
            RunDialog(hwnd, IDD_PAGE1, Page1Property);
        break;
    case IDM_OTHERSETTINGS:
        if (Property2 == 0 && RegistDlg == 0 && DeleteDlg == 0)
            RunDialog(hwnd, IDD_PAGE2, Page2Property);
        break;
    case IDM_REGISTWAVE:
    case IDM_DELETEWAVE:
        if (RegistDlg != 0 || DeleteDlg != 0) break;
        if (Property1 == 1 || Property2 == 1) {
            MessageBoxA(hwnd, SettingsOpenMessage, SetUpData, MB_OK | MB_ICONSTOP);
            break;
        }
        if (command == IDM_REGISTWAVE)
            RunDialog(hwnd, IDD_REGIST, RegistProperty);
        else
            RunDialog(hwnd, IDD_DELETE, DeleteProperty);
        break;
    case IDM_PAUSE:
        Executing = 1 - Executing;
        ZelmoModTaskBar(hwnd);
        break;
    case IDM_JELLY:
        PostMessageA(hwndJelly, WM_ZELMO_JELLY, 0, 0);
        break;
    case IDM_HELP:
        ZelmoShowHelp(hwnd);
        break;
    case IDM_ABOUT:
        if (ZelmoAbout == 0) RunDialog(hwnd, IDD_ABOUT, About);
        break;
    default:
        break;
    }
}

void OnClose(HWND hwnd)
{
    // The jelly window goes with this one, before the close request posted to it below could be
    // handled: jellyfish still running are saved here, as their own stop would save them.
    SaveRunningJellyfish();
    PostMessageA(hwndSignal, WM_CLOSE, 0, 0);
    PostMessageA(hwndJelly, WM_CLOSE, 0, 0);
    // Only timer 101 is ever started; the others are stopped all the same.
    for (UINT_PTR timer = 101; timer <= 105; ++timer)
        KillTimer(hwnd, timer);
    ZelmoDelTaskBar(hwnd);
    // The time-signal and jelly windows are owned by this one and go with it, before the close
    // requests just posted to them can be handled.
    DestroyWindow(hwnd);
}

} // namespace

LRESULT CALLBACK ZelmoSoundWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, wParam);
        return 0;
    case WM_ZELMO_TRAY:
        if (lParam == WM_RBUTTONDOWN) PostMessageA(hwnd, WM_ZELMO_MENU, 0, 0);
        return 0;
    case WM_ZELMO_MENU:
        SetForegroundWindow(hwnd);
        ZelmoPopupMenu(hwnd);
        return 0;
    case WM_CLOSE:
        OnClose(hwnd);
        return 0;
    case WM_ENDSESSION:
        // Windows ends the session and may end the program at any moment after this returns,
        // without a close: the running jellyfish are saved now.
        if (wParam) SaveRunningJellyfish();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void InitZelmoSoundFirst(HINSTANCE instance)
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ZelmoSoundWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = SetUpData;
    wc.lpszClassName = SetUpData;
    // Whether the class could be declared is not examined.
    (void)RegisterClassA(&wc);
}

void InitZelmoSoundEvery(HINSTANCE instance, int cmdShow)
{
    // The show flag is passed on but never used: the main window stays hidden.
    (void)cmdShow;
    hInst = instance;
    // The creation event runs inside this call; whether it succeeds is not examined.
    MainWindow = CreateWindowExA(0, SetUpData, WindowTitle, WS_OVERLAPPEDWINDOW, 300, 250, 100, 100,
                                 nullptr, nullptr, instance, nullptr);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow)
{
    (void)previous;
    (void)commandLine;
    LoadStringA(instance, IDS_APPNAME, SetUpData, sizeof SetUpData);
    if (FindWindowA(SetUpData, WindowTitle) != nullptr) return 0;
    // Every sound is played by its bare file name, found in the current directory. A shortcut or
    // a command line may start the program in any folder, so the program folder is made current
    // before anything plays.
    (void)SetCurrentDirectoryA(ProgramFolder().c_str());
    InitZelmoSoundFirst(instance);
    InitZelmoSoundEvery(instance, cmdShow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The loop also ends when the shown jelly window is closed by the platform's close command
    // and its destruction posts the quit message. The main window still stands then, and its
    // tray icon would stay behind, dead, until the pointer passed over it: it is closed the
    // same way as from the tray menu, which removes the icon.
    if (IsWindow(MainWindow)) (void)SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    return static_cast<int>(msg.wParam);
}
