// Scenarios of the system's small services: LoadStringA into buffers large and small,
// FlushFileBuffers on handles for writing and for reading, the local time against the system
// time (their consistency, not the wall clock), and Beep and MessageBeep against the messages
// waiting in the queue, and what a window that leaves them to DefWindowProcA answers to the
// end of the session's two messages.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/probe_resource.h"
#include "tests/conformance/probe/workfolder.h"

#include <cstring>
#include <iterator>
#include <string>

namespace
{

constexpr UINT WM_PROBE = WM_USER + 100;

// LoadStringA into a buffer of that many bytes, filled with '#' beforehand so that what the
// call wrote shows.
void LoadInto(const std::string &shown, UINT id, int size)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    SetLastError(0);
    int length = LoadStringA(probe::ModuleInstance(), id, buffer, size);
    DWORD error = GetLastError();
    std::string written(buffer, static_cast<size_t>(size > 0 ? size : 1));
    probe::Trace("LoadStringA " + shown + " into " + std::to_string(size) + " -> " +
                 std::to_string(length) + (error ? " error " + std::to_string(error) : "") + ": " +
                 probe::Hex(written));
}

void LoadStrings()
{
    LoadInto("plain", IDS_PROBE_PLAIN, 64);
    LoadInto("plain", IDS_PROBE_PLAIN, 5);
    LoadInto("plain", IDS_PROBE_PLAIN, 11);
    LoadInto("japanese", IDS_PROBE_JAPANESE, 64);
    // Cut inside the third character, and right after it.
    LoadInto("japanese", IDS_PROBE_JAPANESE, 8);
    LoadInto("japanese", IDS_PROBE_JAPANESE, 10);
    LoadInto("missing", 99, 64);
}

void FlushFileBuffersScenario()
{
    std::string work = probe::MakeWorkFolder();
    std::string path = work + "flushed.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    (void)WriteFile(file, "abc", 3, &written, nullptr);
    probe::TraceResult("FlushFileBuffers written file", FlushFileBuffers(file));
    (void)CloseHandle(file);
    file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    SetLastError(0);
    probe::TraceResult("FlushFileBuffers file for reading", FlushFileBuffers(file), true);
    (void)CloseHandle(file);
    SetLastError(0);
    probe::TraceResult("FlushFileBuffers invalid handle", FlushFileBuffers(INVALID_HANDLE_VALUE),
                       true);
    probe::Trace("file " + probe::FileBytes(path));
    probe::RemoveWorkFolder();
}

// Days from 1601-01-01 to the date (proleptic Gregorian calendar).
long long DaysSince1601(int year, int month, int day)
{
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    constexpr int MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long days = 0;
    for (int y = 1601; y < year; ++y)
        days += leap(y) ? 366 : 365;
    for (int m = 1; m < month; ++m)
        days += MonthDays[m - 1] + (m == 2 && leap(year) ? 1 : 0);
    return days + day - 1;
}

// Milliseconds since 1601 of a SYSTEMTIME, and of a FILETIME.
long long Millis(const SYSTEMTIME &t)
{
    return ((DaysSince1601(t.wYear, t.wMonth, t.wDay) * 24 + t.wHour) * 60 + t.wMinute) * 60000LL +
           t.wSecond * 1000LL + t.wMilliseconds;
}

long long Millis(const FILETIME &t)
{
    return static_cast<long long>(
        (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
}

bool Valid(const SYSTEMTIME &t)
{
    return t.wYear >= 2000 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 && t.wDay <= 31 &&
           t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000 &&
           t.wDayOfWeek < 7;
}

// The two clocks as the program reads them: local time (the hour, the tray's picture) and the
// system time as a file time (the seed). Each local reading is valid, its day of the week is its
// date's (1601-01-01 was a Monday), and it lies a whole number of quarter hours (the time zone)
// from the system time read between them; the system time moves on by a Sleep.
void LocalAndSystemTime()
{
    SYSTEMTIME before{}, after{};
    FILETIME system{}, later{};
    GetLocalTime(&before);
    GetSystemTimeAsFileTime(&system);
    GetLocalTime(&after);
    probe::TraceResult("local times valid", Valid(before) && Valid(after));
    probe::TraceResult("day of the week",
                       (DaysSince1601(after.wYear, after.wMonth, after.wDay) + 1) % 7 ==
                           after.wDayOfWeek);
    probe::TraceResult("local times in order", Millis(before) <= Millis(after));
    constexpr long long Quarter = 15 * 60000, Slack = 2000;
    long long offset = Millis(after) - Millis(system);
    long long off = ((offset % Quarter) + Quarter) % Quarter;
    probe::TraceResult("local minus system time is whole quarter hours",
                       off < Slack || off > Quarter - Slack);
    probe::TraceResult("the offset is within a day", offset > -86400000LL && offset < 86400000LL);
    Sleep(300);
    GetSystemTimeAsFileTime(&later);
    long long moved = Millis(later) - Millis(system);
    // The system clock's steps are up to 16 ms on Windows.
    probe::TraceResult("system time moved by the sleep", moved >= 300 - 16 && moved < 60000);
}

// Neither Beep nor MessageBeep lets the messages waiting in the queue in: both come after the
// calls, in the order they were posted.
LRESULT BeepsHandler(HWND, UINT message, WPARAM wParam, LPARAM, bool *handled)
{
    if (message != WM_PROBE) return 0;
    *handled = true;
    if (wParam == 2) probe::ScenarioDone();
    return 0;
}

void BeepsAndMessages()
{
    HWND owner = probe::CreateProbeWindow("owner", nullptr, BeepsHandler);
    (void)PostMessageA(owner, WM_PROBE, 1, 0);
    probe::TraceResult("Beep", Beep(880, 100));
    probe::TraceResult("MessageBeep MB_ICONASTERISK", MessageBeep(MB_ICONASTERISK));
    probe::TraceResult("MessageBeep 0xFFFFFFFF", MessageBeep(0xFFFFFFFF));
    (void)PostMessageA(owner, WM_PROBE, 2, 0);
    probe::RunScenarioLoop();
}

// The session's end as a window hears it, when it leaves both messages to DefWindowProcA: it
// agrees to the end (WM_QUERYENDSESSION answers TRUE), and WM_ENDSESSION neither closes nor
// destroys it. The program saves the jellyfish in its own WM_ENDSESSION and relies on the rest.
void EndSessionDefaults()
{
    HWND owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::TraceResult("SendMessageA WM_QUERYENDSESSION",
                       SendMessageA(owner, WM_QUERYENDSESSION, 0, 0));
    probe::TraceResult("SendMessageA WM_ENDSESSION TRUE",
                       SendMessageA(owner, WM_ENDSESSION, TRUE, 0));
    probe::TraceResult("IsWindow owner", IsWindow(owner));
    probe::TraceResult("SendMessageA WM_ENDSESSION FALSE",
                       SendMessageA(owner, WM_ENDSESSION, FALSE, 0));
    probe::TraceResult("DestroyWindow owner", DestroyWindow(owner));
}

constexpr probe::Scenario Scenarios[] = {
    {"load-string", LoadStrings},
    {"flush-file-buffers", FlushFileBuffersScenario},
    {"local-and-system-time", LocalAndSystemTime},
    {"beeps-and-messages", BeepsAndMessages},
    {"end-session-defaults", EndSessionDefaults},
};

} // namespace

extern const probe::Area systemArea = {"system", Scenarios, std::size(Scenarios)};
