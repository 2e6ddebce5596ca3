// The owner-window program for tests of the simulated desktop (see owner.h).
#include "tests/support/owner.h"

namespace zelmo_test
{

HWND OwnerWindow = nullptr;

namespace
{

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI OwnerProgram(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TestOwner";
    (void)RegisterClassA(&wc);
    OwnerWindow = CreateWindowExA(0, "TestOwner", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    return 0;
}

} // namespace zelmo_test
