// zelmo-starttray: how long a tray program takes from its start to its icon in the tray, as a
// user sees it come. Starts PROGRAM (its own folder as the current directory) and polls every
// millisecond until one more icon window shows in the system-tray window than before the start.
//
// Usage: zelmo-starttray PROGRAM MILLIS
// Output: "tray\tms=N" (the time from just before the start to the first look that saw the new
// icon). Exit code 0 when the icon came, 1 when it did not within MILLIS, 2 for a usage error or
// a program that could not be started. The program is left running.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace
{

// The windows that hold notification icons as child windows: Wine's own tray window (made by
// its X11 driver when no X11 system tray takes the icons) and the shell's taskbar.
constexpr const wchar_t *TrayClasses[] = {L"__winex11_standalone_tray", L"Shell_TrayWnd"};

BOOL CALLBACK CountVisible(HWND child, LPARAM count)
{
    if (IsWindowVisible(child)) ++*reinterpret_cast<int *>(count);
    return TRUE;
}

int TrayIcons()
{
    int count = 0;
    for (const wchar_t *trayClass : TrayClasses) {
        HWND tray = nullptr;
        while ((tray = FindWindowExW(nullptr, tray, trayClass, nullptr)) != nullptr)
            EnumChildWindows(tray, CountVisible, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        std::fputs("usage: zelmo-starttray PROGRAM MILLIS\n", stdout);
        return 2;
    }
    std::wstring program = argv[1];
    double limit = std::wcstod(argv[2], nullptr);
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    std::wstring command = L"\"" + program + L"\"";

    int before = TrayIcons();
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        std::printf("error\tcould not start the program (%lu)\n", GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (;;) {
        int icons = TrayIcons();
        QueryPerformanceCounter(&now);
        double millis = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart);
        if (icons > before) {
            std::printf("tray\tms=%.1f\n", millis);
            return 0;
        }
        if (millis > limit) {
            std::printf("error\tno new tray icon within %.0f ms\n", limit);
            return 1;
        }
        Sleep(1);
    }
}
