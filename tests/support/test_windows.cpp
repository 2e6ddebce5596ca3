// A test program's window classes and message loop, for the simulated desktop's own tests.
#include "tests/support/test_windows.h"

namespace zelmo_test
{

void RegisterTestClass(const char *name, WNDPROC proc, UINT style, HBRUSH brush, HCURSOR cursor)
{
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = reinterpret_cast<HINSTANCE>(0x400000);
    wc.hCursor = cursor;
    wc.hbrBackground = brush;
    wc.lpszClassName = name;
    (void)RegisterClassA(&wc);
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    return static_cast<int>(msg.wParam);
}

} // namespace zelmo_test
