// The user, played by the probe itself through Windows operations, so that the simulated
// desktop and Wine get the same input without an outside driver (README.md says why and how).
#include "tests/conformance/probe/outside.h"
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/workfolder.h"

#include <initializer_list>
#include <vector>

namespace probe
{

namespace
{

// The keyboard's scan codes of the keys the scenarios press, for the messages' lParam.
struct Key {
    UINT virtualKey;
    UINT scanCode;
};
constexpr Key Keys[] = {
    {VK_TAB, 0x0F},  {VK_RETURN, 0x1C}, {VK_ESCAPE, 0x01}, {VK_SPACE, 0x39}, {VK_UP, 0x48},
    {VK_DOWN, 0x50}, {VK_HOME, 0x47},   {VK_END, 0x4F},    {VK_F4, 0x3E},
};

LPARAM KeyData(UINT virtualKey)
{
    UINT scanCode = 0;
    for (const Key &key : Keys)
        if (key.virtualKey == virtualKey) scanCode = key.scanCode;
    // A repeat count of one, and the scan code.
    return static_cast<LPARAM>(1 | (scanCode << 16));
}

// An absolute position is in 65536ths of the screen; aiming at the middle of the pixel lands on
// it whichever way the system rounds back.
LONG Normalized(int pixel, int screen)
{
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + 32768) / screen);
}

INPUT Mouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = Normalized(x, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = Normalized(y, GetSystemMetrics(SM_CYSCREEN));
    }
    return input;
}

void Send(std::initializer_list<INPUT> inputs)
{
    std::vector<INPUT> all(inputs);
    (void)SendInput(static_cast<UINT>(all.size()), all.data(), sizeof(INPUT));
}

// A press moves the pointer to the point first; at the pointer's own position the system makes
// no move of it.
constexpr DWORD MoveTo = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;

} // namespace

HWND FindTopWindow(const char *className, const char *caption)
{
    return FindWindowA(className, caption);
}

void UserClick(HWND dialog, int id)
{
    (void)SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void UserKey(UINT virtualKey, HWND target)
{
    (void)PostMessageA(target ? target : GetFocus(), WM_KEYDOWN, virtualKey, KeyData(virtualKey));
}

void UserChar(char character, HWND target)
{
    (void)PostMessageA(target ? target : GetFocus(), WM_CHAR, static_cast<unsigned char>(character),
                       1);
}

void UserCloseBox(HWND window)
{
    (void)PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void UserAltF4(HWND window)
{
    (void)PostMessageA(window, WM_SYSKEYDOWN, VK_F4, KeyData(VK_F4) | (KF_ALTDOWN << 16));
}

void UserPointer(int x, int y)
{
    Send({Mouse(MoveTo, x, y)});
}

void UserLeftClick(int x, int y)
{
    Send({Mouse(MoveTo | MOUSEEVENTF_LEFTDOWN, x, y), Mouse(MOUSEEVENTF_LEFTUP)});
}

void UserRightClick(int x, int y)
{
    Send({Mouse(MoveTo | MOUSEEVENTF_RIGHTDOWN, x, y), Mouse(MOUSEEVENTF_RIGHTUP)});
}

void UserDoubleClick(int x, int y)
{
    Send({Mouse(MoveTo | MOUSEEVENTF_LEFTDOWN, x, y), Mouse(MOUSEEVENTF_LEFTUP),
          Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
}

void UserOutside(const char *request)
{
    if (!MakeFile(ProbeFolder() + OutsideRequestFile, std::string(request) + "\n"))
        Trace(std::string("cannot ask the outside user for ") + request);
}

} // namespace probe
