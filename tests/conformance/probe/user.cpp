// The user, played by the probe itself through Windows operations, so that the simulated
// desktop and Wine get the same input without an outside driver (README.md says why and how).
#include "probe.h"

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
    {VK_TAB, 0x0F}, {VK_RETURN, 0x1C}, {VK_ESCAPE, 0x01}, {VK_SPACE, 0x39},
    {VK_UP, 0x48},  {VK_DOWN, 0x50},   {VK_HOME, 0x47},   {VK_END, 0x4F},
};

LPARAM KeyData(UINT virtualKey)
{
    UINT scanCode = 0;
    for (const Key &key : Keys)
        if (key.virtualKey == virtualKey) scanCode = key.scanCode;
    // A repeat count of one, and the scan code.
    return static_cast<LPARAM>(1 | (scanCode << 16));
}

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

} // namespace probe
