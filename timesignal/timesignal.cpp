// The hourly time signal. At the first tick of each full hour the trigger posts a show message
// to a small hidden top-most window, which appears near the mouse cursor for three seconds: nine
// frames 300 ms apart show the hour in full-width digits in changing colours, optionally with a
// character in two alternating pictures, and each frame starts a chime. The tenth tick hides
// the window again.
#include "timesignal/timesignal.h"

#include "ground/globals.h"
#include "ground/placement.h"
#include "ground/random.h"
#include "ground/sound.h"

#include <cstring>

int SignalFired = 0;
int SignalFrame = 0;
int SignalChar = 0;
// Seven full-width characters: two hour digits, then "時だよ～ん".
char SignalText[22] = "００時だよ～ん";

namespace
{

constexpr UINT_PTR SignalTimer = 105;
constexpr UINT FramePeriod = 300;
constexpr int LastFrame = 8;
constexpr int CharacterRow = 50; // the text sits below the character's picture
constexpr int FallbackWidth = 138;
constexpr int FallbackHeight = 70;

// Index 0 is a full-width space, 1..9 the digits one to nine, 10 the digit zero.
constexpr const char *SignalDigits[11] = {"　", "１", "２", "３", "４", "５",
                                          "６", "７", "８", "９", "０"};
constexpr size_t DigitBytes = 3;

// Two pictures and two sounds per character, for even and odd frames; empty: none.
constexpr const char *TSignalIcon[12] = {
    "STAR1_ICON", "STAR2_ICON", "PASO1_ICON", "PASO2_ICON", "TREE1_ICON", "TREE2_ICON",
    "MONS1_ICON", "MONS2_ICON", "SNOW1_ICON", "SNOW2_ICON", "",           "",
};
constexpr const char *TSignalWave[12] = {
    "star1.wav",    "star2.wav",    "tree1.wav",   "tree2.wav", "bell.wav", "",
    "monster1.wav", "monster2.wav", "snowman.wav", "",          "",         "",
};
constexpr int MonsterCharacter = 3;

constexpr COLORREF SignalColors[7] = {
    RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255),   RGB(255, 0, 0),
    RGB(0, 255, 0),   RGB(0, 0, 255),   RGB(255, 255, 255),
};

// Each picture is loaded once per run and kept: loading it at every frame would take nine
// new icon handles an hour from the system, never to be given back.
HICON SignalIcons[12] = {};

// The text's font: the default font of a device context often has no Japanese characters (it
// shows boxes on most systems), so the text uses a Japanese font, made once per run. Without a
// face of that name the font mapper picks another one with Japanese characters.
HFONT SignalFont = nullptr;

HGDIOBJ SelectSignalFont(HDC dc)
{
    if (!SignalFont)
        SignalFont = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, "Yu Gothic UI");
    return SignalFont ? SelectObject(dc, SignalFont) : nullptr;
}

HICON SignalIcon(int index)
{
    if (!SignalIcons[index])
        SignalIcons[index] = static_cast<HICON>(
            LoadImageA(hInst, TSignalIcon[index], IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    return SignalIcons[index];
}

// GDI reads the text of its A functions in the font's code page, not in the program's UTF-8
// code page, so the text goes to it in UTF-16. Returns the number of UTF-16 units.
int WideSignalText(WCHAR (&wide)[16])
{
    int units = MultiByteToWideChar(CP_UTF8, 0, SignalText, -1, wide, 16);
    return units > 0 ? units - 1 : 0;
}

void PutHour(int hour)
{
    const char *tens = SignalDigits[hour / 10];
    const char *units = SignalDigits[hour % 10 == 0 ? 10 : hour % 10];
    std::memcpy(SignalText, tens, DigitBytes);
    std::memcpy(SignalText + DigitBytes, units, DigitBytes);
}

void Show(HWND hwnd)
{
    HWND previous = GetForegroundWindow();
    // Every form of the text has the same seven characters, so last showing's digits measure
    // the same as this one's.
    int width = FallbackWidth, height = FallbackHeight;
    HDC dc = GetDC(hwnd);
    SIZE extent;
    WCHAR wide[16];
    int units = WideSignalText(wide);
    HGDIOBJ oldFont = dc ? SelectSignalFont(dc) : nullptr;
    if (dc && GetTextExtentPoint32W(dc, wide, units, &extent)) {
        width = extent.cx;
        height = extent.cy + (Tp[1] == 1 ? CharacterRow : 0);
    }
    if (oldFont) SelectObject(dc, oldFont);
    if (dc) ReleaseDC(hwnd, dc);
    POINT position;
    int currentWidth, currentHeight;
    ZelmoGetWindowPosition(hwnd, &position, &currentWidth, &currentHeight);
    MoveWindow(hwnd, position.x, position.y, width, height, FALSE);
    SetTimer(hwnd, SignalTimer, FramePeriod, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SignalFrame = 0;
    // The user's window keeps the keyboard.
    SetForegroundWindow(previous);
}

void Frame(HWND hwnd)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (SignalFrame > LastFrame) {
        KillTimer(hwnd, SignalTimer);
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    if (SignalFrame == 0) {
        Prng::srand(static_cast<uint32_t>(CalendarSeconds() / now.wDay));
        SignalChar = Prng::rand() % 5;
    }
    int parity = SignalFrame % 2;
    int entry = 2 * SignalChar + parity;
    HDC dc = GetDC(hwnd);
    if (Tp[1] == 1) {
        int x = SignalChar == MonsterCharacter ? 100 - 13 * SignalFrame : 10;
        if (HICON icon = SignalIcon(entry))
            DrawIconEx(dc, x, 10, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, SignalColors[SignalFrame % 7]);
    PutHour(now.wHour);
    int y = Tp[1] == 0 ? parity : CharacterRow + parity;
    WCHAR wide[16];
    HGDIOBJ oldFont = SelectSignalFont(dc);
    TextOutW(dc, parity, y, wide, WideSignalText(wide));
    if (oldFont) SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
    const char *sound = Tp[1] == 0 ? "alarm99.wav" : TSignalWave[entry];
    if (sound[0] != '\0') PlaySoundA(sound, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
    ++SignalFrame;
}

} // namespace

void ResetTimeSignalState()
{
    SignalFired = SignalFrame = SignalChar = 0;
    std::strcpy(SignalText, "００時だよ～ん");
    for (HICON &icon : SignalIcons)
        icon = nullptr;
    SignalFont = nullptr;
}

void ZelmoTimeSignalWin(HWND owner)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TimeSignalWndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "ZelmoTimeSignal";
    // Neither the class nor the window is tested for success.
    (void)RegisterClassA(&wc);
    hwndSignal = CreateWindowExA(WS_EX_TRANSPARENT | WS_EX_TOPMOST, "ZelmoTimeSignal", "", WS_POPUP,
                                 0, 0, 140, 70, owner, nullptr, hInst, nullptr);
}

// The signal is posted once per full hour, at the first tick in hh:00:00-hh:00:01, so a single
// late tick does not lose it; the latch re-arms at the first tick outside those two seconds.
void ZelmoTimeSignal()
{
    if (Tp[0] == 0) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wMinute == 0 && now.wSecond <= 1) {
        if (SignalFired == 0) {
            SignalFired = 1;
            PostMessageA(hwndSignal, WM_ZELMO_SIGNAL, 0, 0);
        }
    } else {
        SignalFired = 0;
    }
}

LRESULT CALLBACK TimeSignalWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ZELMO_SIGNAL:
        Show(hwnd);
        return 0;
    case WM_TIMER:
        Frame(hwnd);
        return 0;
    case WM_RBUTTONDOWN:
        KillTimer(hwnd, SignalTimer);
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    case WM_CLOSE:
        KillTimer(hwnd, SignalTimer);
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (SignalFont) DeleteObject(SignalFont);
        SignalFont = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        // Paint requests included: nothing ever erases the window between frames.
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
