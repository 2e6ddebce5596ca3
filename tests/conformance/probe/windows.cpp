// The probe's windows and dialogs, whose procedures write the traced messages to the trace
// before the scenario's handler sees them, and the scenario's message loop.
#include "tests/conformance/probe/framework.h"

#include <map>
#include <memory>
#include <vector>

namespace probe
{

HINSTANCE Instance = nullptr;

namespace
{

constexpr char ProbeClass[] = "ZelmoProbe";

struct Creation {
    std::string role;
    WindowHandler handler = nullptr;
};

struct DialogStart {
    std::string role;
    DLGPROC handler = nullptr;
    LPARAM param = 0;
};

std::map<HWND, WindowHandler> WindowHandlers;
std::map<HWND, DLGPROC> DialogHandlers;
std::vector<HWND> Made; // top-level windows made by the running scenario
bool Done = false;
std::vector<Step> UserSteps;
size_t NextStep = 0;

// The user's next step, on a tick of the user's timer.
void UserTick(HWND hwnd)
{
    if (NextStep >= UserSteps.size()) {
        (void)KillTimer(hwnd, UserTimer);
        return;
    }
    // Counted before it runs: a step that opens a modal loop sees the next ticks run the next
    // steps inside it.
    Step step = UserSteps[NextStep++];
    step();
}

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        const auto *creation = static_cast<const Creation *>(create->lpCreateParams);
        NameWindow(hwnd, creation->role);
        WindowHandlers[hwnd] = creation->handler;
    }
    // The user's ticks are the user's, not the program's: how many pass before a condition a step
    // waits for holds depends on the machine, so they are not traced.
    if (message == WM_TIMER && wParam == UserTimer) {
        UserTick(hwnd);
        return 0;
    }
    TraceMessage(hwnd, message, wParam, lParam);
    auto found = WindowHandlers.find(hwnd);
    if (found != WindowHandlers.end() && found->second) {
        bool handled = false;
        LRESULT result = found->second(hwnd, message, wParam, lParam, &handled);
        if (handled) return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK ProbeDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto *start = reinterpret_cast<const DialogStart *>(lParam);
        NameWindow(hwnd, start->role);
        DialogHandlers[hwnd] = start->handler;
        TraceMessage(hwnd, message, wParam, lParam);
        return start->handler ? start->handler(hwnd, message, wParam, start->param) : TRUE;
    }
    auto found = DialogHandlers.find(hwnd);
    if (found == DialogHandlers.end()) return FALSE; // before WM_INITDIALOG
    TraceMessage(hwnd, message, wParam, lParam);
    return found->second ? found->second(hwnd, message, wParam, lParam) : FALSE;
}

} // namespace

void RegisterProbeWindowClass(const char *className, UINT style, HBRUSH brush, HCURSOR cursor)
{
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = Instance;
    wc.hCursor = cursor;
    wc.hbrBackground = brush;
    wc.lpszClassName = className;
    (void)RegisterClassA(&wc);
}

void SetWindowHandler(HWND hwnd, WindowHandler handler)
{
    WindowHandlers[hwnd] = handler;
}

HINSTANCE ModuleInstance()
{
    return Instance;
}

void RegisterProbeClass()
{
    RegisterProbeWindowClass(ProbeClass, 0, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                             LoadCursorA(nullptr, IDC_ARROW));
}

HWND CreateProbeWindow(const std::string &role, HWND owner, WindowHandler handler, DWORD style,
                       DWORD exStyle, const char *className)
{
    Creation creation{role, handler};
    HWND hwnd = CreateWindowExA(exStyle, className ? className : ProbeClass, role.c_str(), style,
                                100, 100, 200, 150, owner, nullptr, Instance, &creation);
    if (hwnd) Made.push_back(hwnd);
    return hwnd;
}

INT_PTR RunProbeDialog(int templateId, HWND owner, const std::string &role, DLGPROC handler,
                       LPARAM param)
{
    DialogStart start{role, handler, param};
    return DialogBoxParamA(Instance, MAKEINTRESOURCEA(templateId), owner, ProbeDialogProc,
                           reinterpret_cast<LPARAM>(&start));
}

void RunScenarioLoop()
{
    Done = false;
    MSG msg;
    while (!Done) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            Trace("loop: WM_QUIT " + std::to_string(msg.wParam));
            return;
        }
        if (got == -1) {
            Trace("loop: GetMessageA failed");
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void StartUser(HWND window, std::vector<Step> steps)
{
    UserSteps = std::move(steps);
    NextStep = 0;
    (void)SetTimer(window, UserTimer, UserPeriod, nullptr);
}

void RepeatStep()
{
    if (NextStep > 0) --NextStep;
}

Step WaitUntil(const std::string &what, std::function<bool()> condition, std::function<void()> then,
               int limit)
{
    auto left = std::make_shared<int>(limit);
    return [=] {
        if (condition()) {
            if (then) then();
        } else if (--*left > 0) {
            RepeatStep();
        } else {
            Trace("timed out: " + what);
        }
    };
}

Step Pause(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    return [=] {
        if (--*left > 0) RepeatStep();
    };
}

void ScenarioDone()
{
    Done = true;
}

void EndScenario()
{
    // Owned windows go with their owners; what is left of the scenario's windows goes now, in
    // the order they were made.
    for (HWND hwnd : Made)
        if (IsWindow(hwnd)) (void)DestroyWindow(hwnd);
    Made.clear();
    // What the scenario left queued, so a message that should have been dropped shows.
    MSG msg;
    for (int count = 0; count < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++count) {
        if (msg.message == WM_QUIT) {
            Trace("leftover: WM_QUIT " + std::to_string(msg.wParam));
            continue;
        }
        std::string description = DescribeMessage(msg.message, msg.wParam, msg.lParam);
        if (!description.empty()) Trace("leftover: " + Role(msg.hwnd) + ": " + description);
    }
    WindowHandlers.clear();
    DialogHandlers.clear();
    UserSteps.clear();
    ForgetRoles();
}

} // namespace probe
