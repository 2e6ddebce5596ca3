// The jelly window and its messages. The tray menu's start message shows it, reads the
// population and starts the 300 ms tick; each tick decides, draws, counts and updates the tool
// tips. The jellyfish stop on the user's Yes to the end question (right button) or when nobody
// is left; every stop saves the population and hides the window, which can be started again.
// A stop saves only a population that was loaded: never one set up because the jelly file was
// there but could not be read, which would replace the user's jellyfish with two newborns.
//
// The mouse moves and right button messages go to the tool tip control before anything else,
// so that the tips come and go with the pointer. The window has no class cursor: the pointer
// keeps the shape CheckCursor set, and no class brush: it paints itself black.
#include "jelly/jellywindow.h"

#include "jelly/behaviour.h"
#include "jelly/jellytips.h"
#include "jelly/movement.h"
#include "jelly/population.h"

#include "ground/globals.h"

HCURSOR JCursor[3] = {};

namespace
{

constexpr char JellyClass[] = "ZelmoJelly";
// The caption of the message that nobody is left, the one box not captioned SetUpData.
constexpr char JellyCaption[] = "ZelmoJelly";
constexpr char FirstRunHint[] = "★終了する時は、マウス右クリックです。\n"
                                "　＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝";
constexpr char NobodyLeft[] = "誰もいなくなっちゃった。\nので、終了します。とほほ。。。";
constexpr char EndQuestion[] = "終了します。";
constexpr DWORD BeepFrequency = 900;
constexpr DWORD BeepMillis = 100;
constexpr int StartHideCount = 5;
constexpr int LastDivisor = 999; // SrandCount runs 1 .. 1000, then begins again

// The message record the window hands the tool tip control for each relayed mouse message.
MSG Relay = {};
// 1 while the slots in memory hold the population of the jelly file: the last start read it,
// or found no file to read (the first run). 0 before any start, and after a start that found
// the file but could not open it; then no stop and no close request saves the slots over the
// file. The next start that reads the file loads the stored population again.
int PopulationLoaded = 0;

void RelayToToolTip(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Relay.hwnd = hwnd;
    Relay.message = message;
    Relay.wParam = wParam;
    Relay.lParam = lParam;
    Relay.time = GetMessageTime();
    DWORD position = GetMessagePos();
    Relay.pt.x = LOWORD(position);
    Relay.pt.y = HIWORD(position);
    (void)SendMessageA(hwndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&Relay));
}

// A slot's square holds the point with both ends included: 33 pixels each way.
bool InSquare(const JellyRecord &slot, int x, int y)
{
    return slot.X <= x && x <= slot.X + JellySize && slot.Y <= y && y <= slot.Y + JellySize;
}

void OnCreate()
{
    // Loading a system cursor is not looked at.
    JCursor[1] = LoadCursorA(nullptr, IDC_ARROW);
    JCursor[2] = LoadCursorA(nullptr, IDC_CROSS);
    JCursor[0] = JCursor[1];
}

// The tool tip control comes with the first start, not with the window: the common controls'
// library is then loaded only by a user who starts the jellyfish, and a program resident for
// months without them never carries it. The window is hidden and gets no mouse messages before
// a start, so nothing is relayed to a control that is not there yet.
void CreateToolTip(HWND hwnd)
{
    if (hwndToolTip) return;
    InitCommonControls();
    // TTS_ALWAYSTIP: the jellyfish speak also while another window is active.
    hwndToolTip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, hInst, nullptr);
}

void SaveJellyfish()
{
    if (PopulationLoaded) WriteJellyIniFile();
}

// Every stop: the timer first, so that no tick comes while the file is written.
void StopJellyfish(HWND hwnd)
{
    (void)KillTimer(hwnd, JELLY_TIMER);
    SaveJellyfish();
    (void)ShowWindow(hwnd, SW_HIDE);
    ZelmoJelly = 0;
}

void OnStart(HWND hwnd)
{
    // A start while the jellyfish run (the first-run hint, the end question or the nobody-left
    // message may be open, each in a loop of its own) leaves them as they are: reading the file
    // anew would drop everything since the last save, and a population that could not be read
    // from its file could not even be saved first. Nothing moves, so no picture is left behind.
    if (ZelmoJelly != 0) return;
    CreateToolTip(hwnd);
    ForgetJellyScreen();
    ZelmoJelly = 1;
    SrandCount = 1;
    (void)ShowWindow(hwnd, SW_SHOW);
    HideCount = StartHideCount;
    CharCount = HideCount + OrdinaryCount;
    bool refused = false;
    int read = ReadJellyIniFile(&refused);
    PopulationLoaded = refused ? 0 : 1;
    if (read == 0) (void)MessageBoxA(hwnd, FirstRunHint, SetUpData, MB_OK);
    (void)JellyExsit(); // only IsAll is wanted here
    JellySetToolTip(hwnd);
    (void)SetTimer(hwnd, JELLY_TIMER, JellyTickMillis, nullptr);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    (void)GetClientRect(hwnd, &client);
    (void)FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    (void)EndPaint(hwnd, &paint);
}

// The ticks go on while the question is open; one of them may even end the jellyfish first.
void OnEndQuestion(HWND hwnd)
{
    (void)Beep(BeepFrequency, BeepMillis);
    int answer =
        MessageBoxA(hwnd, EndQuestion, SetUpData, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
    if (answer == IDYES) StopJellyfish(hwnd);
}

void OnClose(HWND hwnd)
{
    SaveJellyfish();
    (void)KillTimer(hwnd, JELLY_TIMER);
    (void)DestroyWindow(hwnd);
    ZelmoJelly = 0;
}

} // namespace

void ResetJellyWindowState()
{
    for (HCURSOR &cursor : JCursor)
        cursor = nullptr;
    Relay = MSG{};
    PopulationLoaded = 0;
}

void JellyTick(HWND hwnd)
{
    JellyCheck();
    JellyExecute(hwnd);
    if (JellyExsit() == 0) {
        // The timer first: nothing moves while the message waits.
        (void)KillTimer(hwnd, JELLY_TIMER);
        (void)Beep(BeepFrequency, BeepMillis);
        (void)MessageBoxA(hwnd, NobodyLeft, JellyCaption, MB_OK | MB_ICONHAND);
        StopJellyfish(hwnd);
    }
    // After a stop too: the file has set the free slots' positions to 0, so their tools go now.
    JellySetToolTip(hwnd);
    if (SrandCount > LastDivisor) SrandCount = 1;
}

void SaveRunningJellyfish()
{
    if (ZelmoJelly != 0) SaveJellyfish();
}

void CheckCursor(LPARAM point)
{
    int x = LOWORD(point), y = HIWORD(point);
    HCURSOR wanted = JCursor[1];
    for (int s = FirstHidden; s < FirstHidden + HideCount && s < JellySlots; ++s) {
        if (Jelly[s].Exist != 0 && InSquare(Jelly[s], x, y)) {
            wanted = JCursor[2];
            break;
        }
    }
    if (wanted == JCursor[0]) return;
    (void)SetCursor(wanted);
    JCursor[0] = wanted;
}

void CheckLeftCrick(LPARAM point)
{
    int x = LOWORD(point), y = HIWORD(point);
    for (int s = 0; s < CharCount && s < JellySlots; ++s)
        if (Jelly[s].Exist != 0 && InSquare(Jelly[s], x, y)) Jelly[s].Clicked = 1;
}

void ZelmoJellyWin(HWND owner)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = JellyWndProc;
    wc.hInstance = hInst;
    wc.lpszClassName = JellyClass;
    (void)RegisterClassA(&wc);
    // WS_POPUP alone: no frame, no caption, hidden until the start. The screen's size is the
    // one of this moment.
    hwndJelly = CreateWindowExA(WS_EX_TOPMOST, JellyClass, "", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), owner,
                                nullptr, hInst, nullptr);
}

LRESULT CALLBACK JellyWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE || message == WM_RBUTTONDOWN || message == WM_RBUTTONUP)
        RelayToToolTip(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_ZELMO_JELLY:
        OnStart(hwnd);
        return 0;
    case WM_TIMER:
        JellyTick(hwnd);
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        CheckCursor(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        CheckLeftCrick(lParam);
        return 0;
    case WM_RBUTTONDOWN:
        OnEndQuestion(hwnd);
        return 0;
    case WM_CLOSE:
        OnClose(hwnd);
        return 0;
    case WM_DISPLAYCHANGE:
        ForgetJellyScreen();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
