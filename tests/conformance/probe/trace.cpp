// The probe's trace: one line per traced message or result, written to a file beside the probe
// as it goes (so a probe that hangs or dies still shows how far it came), windows named by role.
#include "tests/conformance/probe/framework.h"
#include "tests/conformance/probe/probe.h"

#include <map>

namespace probe
{

namespace
{

HANDLE TraceFile = INVALID_HANDLE_VALUE;
std::map<HWND, std::string> Roles;

// The messages the probe traces: those the program handles or relies on. The many others that
// Windows sends (non-client, activation, focus, sizing) differ between systems and versions and
// say nothing about the behaviours the program relies on. Keep it in message number order.
struct TracedMessage {
    UINT message;
    const char *name;
};
constexpr TracedMessage Traced[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SETCURSOR, "WM_SETCURSOR"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_CHAR, "WM_CHAR"},
    {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
};

const char *TracedName(UINT message)
{
    for (const TracedMessage &traced : Traced)
        if (traced.message == message) return traced.name;
    return nullptr;
}

std::string Number(long long value)
{
    return std::to_string(value);
}

} // namespace

bool OpenTrace()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string file(path, length);
    file = file.substr(0, file.find_last_of('\\') + 1) + TraceFileName;
    TraceFile = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    return TraceFile != INVALID_HANDLE_VALUE;
}

void CloseTrace()
{
    if (TraceFile != INVALID_HANDLE_VALUE) (void)CloseHandle(TraceFile);
    TraceFile = INVALID_HANDLE_VALUE;
}

void Trace(const std::string &line)
{
    if (TraceFile == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    // A trace that cannot be written shows as a short trace in the comparison.
    (void)WriteFile(TraceFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void TraceResult(const std::string &call, long long result, bool withError)
{
    std::string line = call + " -> " + Number(result);
    if (withError) line += " error " + Number(GetLastError());
    Trace(line);
}

void NameWindow(HWND hwnd, const std::string &role)
{
    Roles[hwnd] = role;
}

void ForgetRoles()
{
    Roles.clear();
}

std::string Role(HWND hwnd)
{
    if (!hwnd) return "null";
    auto found = Roles.find(hwnd);
    if (found != Roles.end()) return found->second;
    if (!IsWindow(hwnd)) return "?gone";
    int id = GetDlgCtrlID(hwnd);
    HWND parent = GetParent(hwnd);
    if (parent && id != 0 && Roles.count(parent)) return Roles[parent] + "#" + Number(id);
    char className[64] = "";
    (void)GetClassNameA(hwnd, className, sizeof className);
    return std::string("?") + className;
}

std::string DescribeMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER && message < 0x8000)
        return "WM_USER+" + Number(message - WM_USER) + " " +
               Number(static_cast<long long>(wParam)) + " " +
               Number(static_cast<long long>(lParam));
    const char *name = TracedName(message);
    if (!name) return "";
    std::string line = name;
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_TIMER:
        return line + " " + Number(static_cast<long long>(wParam));
    case WM_INITDIALOG:
        return line + " focus=" + Role(reinterpret_cast<HWND>(wParam));
    case WM_COMMAND:
        return line + " " + Number(LOWORD(wParam)) + " code " + Number(HIWORD(wParam)) + " from " +
               Role(reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR: {
        // The window under the pointer, the hit-test code and the mouse message that caused it.
        const char *cause = TracedName(HIWORD(lParam));
        return line + " " + Role(reinterpret_cast<HWND>(wParam)) + " hit " +
               Number(static_cast<short>(LOWORD(lParam))) + " " +
               (cause ? cause : Number(HIWORD(lParam)));
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        // Client coordinates and the buttons held (MK_ flags).
        return line + " " + Number(static_cast<short>(LOWORD(lParam))) + "," +
               Number(static_cast<short>(HIWORD(lParam))) + " keys " +
               Number(static_cast<long long>(wParam));
    default:
        return line;
    }
}

void TraceMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string description = DescribeMessage(message, wParam, lParam);
    if (!description.empty()) Trace(Role(hwnd) + ": " + description);
}

} // namespace probe
