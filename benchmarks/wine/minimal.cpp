// zelmo-minimal: the smallest program of ZelmoSound's shape, the yardstick of the resident cost
// measured under Wine (scripts/measure-resident.sh). A hidden main window with a tray icon and a
// one-second timer, nothing else, until it is sent WM_USER+9 (the message that starts
// ZelmoSound's jellyfish): then a full-screen black window comes up and every 300 ms fifteen
// 32 x 32 icons are drawn, each one step on from the last, and fifteen strips are filled black
// where the icons were, as the jellyfish's tick draws. With wParam 1 each tick also starts the
// sound "jelly01.wav" from the current folder, as a swimming jellyfish does. WM_CLOSE to the main
// window ends it. A command line, when given, is the main window's title instead of
// "Zelmo Minimal", to tell one copy from another.
//
// It imports what such a program needs (USER32, GDI32, SHELL32, KERNEL32) and nothing more; WINMM
// is loaded by the first sound.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace
{

constexpr char MainClass[] = "ZelmoMinimal";
constexpr char MainTitle[] = "Zelmo Minimal";
constexpr char DrawClass[] = "ZelmoMinimalDraw";
constexpr UINT TrayMessage = WM_USER + 1;
constexpr UINT StartDrawing = WM_USER + 9;
constexpr UINT_PTR SecondTimer = 1;
constexpr UINT_PTR DrawTimer = 2;
constexpr UINT DrawMillis = 300;
constexpr int Pictures = 15;
constexpr int Side = 32;
constexpr int Step = 8;

HINSTANCE Instance = nullptr;
HWND DrawWindow = nullptr;
bool Sounds = false;
HICON Icons[5] = {};
POINT Places[Pictures] = {};
POINT Steps[Pictures] = {};

void SetUpPictures(int width, int height)
{
    const char *const names[5] = {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION,
                                  IDI_ASTERISK};
    for (int i = 0; i < 5; ++i)
        Icons[i] = LoadIconA(nullptr, names[i]);
    for (int i = 0; i < Pictures; ++i) {
        Places[i] = POINT{(i * 97) % (width - Side), (i * 61) % (height - Side)};
        Steps[i] = POINT{(i % 2) ? Step : -Step, (i % 3) ? Step : -Step};
    }
}

// One tick: each picture moves one step (turning at the screen's edges), is drawn at its new
// place, and the strip it uncovered is filled black.
void DrawTick(HWND hwnd)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < Pictures; ++i) {
        POINT &at = Places[i];
        POINT &step = Steps[i];
        if (at.x + step.x < 0 || at.x + step.x > client.right - Side) step.x = -step.x;
        if (at.y + step.y < 0 || at.y + step.y > client.bottom - Side) step.y = -step.y;
        POINT old = at;
        at.x += step.x;
        at.y += step.y;
        DrawIconEx(dc, at.x, at.y, Icons[i % 5], Side, Side, 0, nullptr, DI_NORMAL);
        RECT strip = step.x > 0 ? RECT{old.x, old.y, at.x, old.y + Side}
                                : RECT{at.x + Side, old.y, old.x + Side, old.y + Side};
        FillRect(dc, &strip, black);
    }
    ReleaseDC(hwnd, dc);
    if (Sounds) PlaySoundA("jelly01.wav", nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

LRESULT CALLBACK DrawProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        DrawTick(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void StartDraw(HWND owner, bool sounds)
{
    if (DrawWindow) return;
    Sounds = sounds;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DrawProc;
    wc.hInstance = Instance;
    wc.lpszClassName = DrawClass;
    RegisterClassA(&wc);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    DrawWindow = CreateWindowExA(WS_EX_TOPMOST, DrawClass, "", WS_POPUP, 0, 0, width, height, owner,
                                 nullptr, Instance, nullptr);
    SetUpPictures(width, height);
    ShowWindow(DrawWindow, SW_SHOW);
    SetTimer(DrawWindow, DrawTimer, DrawMillis, nullptr);
}

NOTIFYICONDATAA TrayIcon(HWND hwnd)
{
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = TrayMessage;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, MainTitle, sizeof icon.szTip);
    return icon;
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        NOTIFYICONDATAA icon = TrayIcon(hwnd);
        Shell_NotifyIconA(NIM_ADD, &icon);
        SetTimer(hwnd, SecondTimer, 1000, nullptr);
        return 0;
    }
    case WM_TIMER: {
        // What a once-a-second check costs at the least: the time is read.
        SYSTEMTIME now;
        GetLocalTime(&now);
        return 0;
    }
    case StartDrawing:
        StartDraw(hwnd, wParam == 1);
        return 0;
    case WM_CLOSE: {
        KillTimer(hwnd, SecondTimer);
        NOTIFYICONDATAA icon = TrayIcon(hwnd);
        Shell_NotifyIconA(NIM_DELETE, &icon);
        DestroyWindow(hwnd);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    Instance = instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = MainClass;
    if (!RegisterClassA(&wc)) return 1;
    const char *title = commandLine && *commandLine ? commandLine : MainTitle;
    if (!CreateWindowExA(0, MainClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
