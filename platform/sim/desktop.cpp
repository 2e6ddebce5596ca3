// The simulated desktop's core: the virtual clock, the program processes and the baton that
// passes control between a program thread and the caller.
#include "platform/sim/internal.h"
#include "platform/sim/modal.h"
#include "platform/sim/shell.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace sim
{

namespace
{

Desktop *current = nullptr;
thread_local Process *threadProcess = nullptr;

// Days since 1970-01-01 for a civil date, and back (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int &year, int &month, int &day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// A program that never becomes idle would hang the caller; this many messages handled without
// a pause, at one virtual instant, is taken as such a program.
constexpr int kMaxStepsWithoutIdle = 1000000;

// True when an idle program may move the clock on by itself: the caller is letting time pass,
// and no other program runs whose messages would have to interleave with this one's.
bool MayRunAhead(const Process *process)
{
    const Desktop::State &state = S();
    if (!state.advanceTarget) return false;
    for (const auto &other : state.processes)
        if (other.get() != process && !other->finished) return false;
    return true;
}

void ProcessMain(Process *process)
{
    threadProcess = process;
    {
        std::unique_lock lock(S().mutex);
        S().turn.wait(lock, [&] { return S().running == process; });
    }
    try {
        if (!process->killed) {
            std::vector<char> commandLine(process->commandLine.begin(), process->commandLine.end());
            commandLine.push_back('\0');
            {
                ProgramCode program;
                process->exitCode = process->entry(reinterpret_cast<HINSTANCE>(0x400000), nullptr,
                                                   commandLine.data(), SW_SHOWDEFAULT);
            }
            // The program's own end is observable (a killed one's is not: nobody saw it go).
            Event exited;
            exited.kind = "exit";
            exited.fields = {{"process", std::to_string(process->id)},
                             {"code", std::to_string(process->exitCode)}};
            Desktop::Current().Emit(exited);
        }
    } catch (const ProcessKilled &) {
        process->exitCode = -1;
    } catch (const SimulationError &error) {
        process->exitCode = -1;
        process->failure = error.what();
    }
    Desktop::State &state = S();
    std::unique_lock lock(state.mutex);
    process->finished = true;
    state.running = nullptr;
    state.turn.notify_all();
}

} // namespace

Millis ToMillis(const LocalTime &t)
{
    int64_t days =
        DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.millisecond;
}

LocalTime FromMillis(Millis millis)
{
    int64_t days = millis >= 0 ? millis / 86400000 : -((-millis + 86399999) / 86400000);
    int64_t rest = millis - days * 86400000;
    LocalTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

std::string FormatTime(Millis millis)
{
    LocalTime t = FromMillis(millis);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return text;
}

std::string JsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string Event::Json() const
{
    std::string out =
        "{\"time\":" + JsonString(FormatTime(time)) + ",\"event\":" + JsonString(kind);
    for (const auto &[name, value] : fields)
        out += "," + JsonString(name) + ":" + value;
    return out + "}";
}

Desktop::State &S()
{
    if (!current) throw std::logic_error("no simulated desktop exists");
    return current->state();
}

Process *CurrentProcess()
{
    return threadProcess;
}

void Yield()
{
    Process *process = threadProcess;
    Desktop::State &state = S();
    // What Advance would do once this program is idle, done here without handing the baton
    // back and forth: move the clock to the next due timer and run on if that gives the program
    // work.
    if (MayRunAhead(process) && !HasWork(process)) {
        for (;;) {
            const Millis next = NextTimerDue(*state.advanceTarget);
            if (next > *state.advanceTarget) break;
            state.now = next;
            if (HasWork(process)) {
                process->messagesSinceYield = 0;
                return;
            }
        }
    }
    std::unique_lock lock(state.mutex);
    state.running = nullptr;
    state.turn.notify_all();
    state.turn.wait(lock, [&] { return state.running == process; });
    process->messagesSinceYield = 0;
    if (process->killed) throw ProcessKilled{};
}

void Resume(Process *process)
{
    Desktop::State &state = S();
    std::unique_lock lock(state.mutex);
    state.running = process;
    state.turn.notify_all();
    state.turn.wait(lock, [&] { return state.running == nullptr; });
    if (!process->failure.empty()) {
        std::string failure = process->failure;
        process->failure.clear();
        throw SimulationError(failure);
    }
}

Millis NextTimerDue(Millis limit)
{
    const Desktop::State &state = S();
    Millis next = limit + 1;
    for (const Timer &timer : state.timers) {
        // A program that has ended collects no more ticks; its timers must not hold the clock.
        if (!timer.pending && timer.nextDue > state.now && timer.nextDue < next &&
            !timer.process->finished)
            next = timer.nextDue;
    }
    return next;
}

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options) : state_(std::make_unique<State>())
{
    if (current) throw std::logic_error("only one simulated desktop may exist at a time");
    current = this;
    ResetModalState();
    ResetShellState();
    ResetDialogsState();
    ResetComState();
    ResetGdiState();
    ResetToolTipsState();
    state_->options = options;
    state_->now = ToMillis(options.start);
    if (options.hostRoot.empty()) {
        char pattern[] = "/tmp/zelmo-sim-XXXXXX";
        char *made = mkdtemp(pattern);
        if (!made) throw std::runtime_error("cannot make a temporary folder");
        state_->hostRoot = made;
    } else {
        state_->hostRoot = options.hostRoot;
        std::filesystem::create_directories(state_->hostRoot);
    }
    std::filesystem::create_directories(state_->hostRoot + "/C");
    // The program folder exists from the start, as after an installation.
    std::string folder = ProgramFolder();
    std::filesystem::create_directories(HostPath(folder));
    std::filesystem::create_directories(HostPath(StartupFolder()));
}

Desktop::~Desktop()
{
    for (auto &process : state_->processes) {
        if (!process->finished) {
            process->killed = true;
            Resume(process.get());
        }
        if (process->thread.joinable()) process->thread.join();
    }
    CloseAllHandles();
    if (!state_->options.keepHostRoot && state_->options.hostRoot.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(state_->hostRoot, ignored);
    }
    current = nullptr;
}

Desktop &Desktop::Current()
{
    if (!current) throw std::logic_error("no simulated desktop exists");
    return *current;
}

Desktop *Desktop::Exists()
{
    return current;
}

Millis Desktop::Now() const
{
    return state_->now;
}
LocalTime Desktop::LocalNow() const
{
    return FromMillis(state_->now);
}

void Desktop::RunUntilIdle()
{
    int steps = 0;
    for (;;) {
        bool progressed = false;
        for (size_t i = 0; i < state_->processes.size(); ++i) {
            Process *process = state_->processes[i].get();
            if (HasWork(process)) {
                Resume(process);
                progressed = true;
                if (++steps > kMaxStepsWithoutIdle)
                    throw SimulationError("a program never becomes idle at " +
                                          FormatTime(state_->now));
            }
        }
        if (!progressed) return;
    }
}

void Desktop::Advance(Millis duration)
{
    if (duration < 0) throw SimulationError("virtual time cannot go back");
    const Millis target = state_->now + duration;
    // While the target stands, an idle program may run ahead to it by itself (see Yield).
    struct TargetGuard {
        std::optional<Millis> &target;
        ~TargetGuard() { target.reset(); }
    } guard{state_->advanceTarget};
    state_->advanceTarget = target;
    for (;;) {
        RunUntilIdle();
        const Millis next = NextTimerDue(target);
        if (next > target) break;
        state_->now = next;
    }
    // A program that held the clock past the target (Sleep, Beep, a synchronous sound in a
    // handler) has moved it on: time never runs back.
    if (state_->now < target) state_->now = target;
    RunUntilIdle();
}

void Desktop::AdvanceTo(const LocalTime &time)
{
    Millis target = ToMillis(time);
    if (target > state_->now) Advance(target - state_->now);
}

int Desktop::Start(Entry entry, const std::string &currentDirectory, const std::string &commandLine)
{
    auto process = std::make_unique<Process>();
    process->id = static_cast<int>(state_->processes.size()) + 1;
    process->entry = entry;
    process->commandLine = commandLine;
    process->currentDirectory =
        NormalizeWindowsPath(currentDirectory.empty() ? ProgramFolder() : currentDirectory);
    if (process->currentDirectory.back() != '\\') process->currentDirectory += '\\';
    Process *raw = process.get();
    state_->processes.push_back(std::move(process));
    raw->thread = std::thread(ProcessMain, raw);
    Resume(raw);
    RunUntilIdle();
    return raw->id;
}

bool Desktop::Running(int id) const
{
    for (const auto &process : state_->processes)
        if (process->id == id) return !process->finished;
    return false;
}

std::optional<int> Desktop::ExitCode(int id) const
{
    for (const auto &process : state_->processes)
        if (process->id == id && process->finished) return process->exitCode;
    return std::nullopt;
}

bool Desktop::EndSession()
{
    for (auto &process : state_->processes) {
        if (process->finished) continue;
        std::vector<HWND> windows;
        for (HWND hwnd : state_->zOrder) {
            auto window = state_->windows.find(hwnd);
            if (window != state_->windows.end() && window->second->process == process.get())
                windows.push_back(hwnd);
        }
        bool agreed = true;
        Input(process->id, [&] {
            for (HWND hwnd : windows)
                if (IsWindow(hwnd) && !SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0)) agreed = false;
            for (HWND hwnd : windows)
                if (IsWindow(hwnd))
                    (void)SendMessageA(hwnd, WM_ENDSESSION, agreed ? TRUE : FALSE, 0);
        });
        if (!agreed) return false;
        if (!process->finished) {
            process->killed = true;
            Resume(process.get());
        }
    }
    return true;
}

void Desktop::Input(int id, std::function<void()> action)
{
    for (auto &process : state_->processes) {
        if (process->id == id && !process->finished) {
            process->input.push_back(std::move(action));
            RunUntilIdle();
            return;
        }
    }
    throw SimulationError("no running process " + std::to_string(id));
}

POINT Desktop::CursorPos() const
{
    return state_->cursor;
}
HWND Desktop::Foreground() const
{
    return state_->foreground;
}

std::string Desktop::ProgramPath() const
{
    return state_->options.programPath;
}

std::string Desktop::ProgramFolder() const
{
    const std::string &path = state_->options.programPath;
    return path.substr(0, path.find_last_of("\\/") + 1);
}

FileFaults &Desktop::Faults()
{
    return state_->faults;
}

int Desktop::OpenHandles() const
{
    return OpenFiles() + OpenSearches();
}

int Desktop::OpenFiles() const
{
    return static_cast<int>(state_->files.size());
}

int Desktop::OpenSearches() const
{
    return static_cast<int>(state_->searches.size());
}

const std::vector<SoundRecord> &Desktop::Sounds() const
{
    return state_->sounds;
}
const std::vector<BeepRecord> &Desktop::Beeps() const
{
    return state_->beeps;
}
void Desktop::ClearSounds()
{
    state_->sounds.clear();
    state_->lastPlayed.reset();
    state_->beeps.clear();
}

void Desktop::Subscribe(std::function<void(const Event &)> observer)
{
    state_->observers.push_back(std::move(observer));
}

void Desktop::Emit(Event event)
{
    event.time = state_->now;
    for (auto &observer : state_->observers)
        observer(event);
}

} // namespace sim

// ---------------------------------------------------------------------------------------------
// Time operations

using namespace sim;

void WINAPI GetLocalTime(SYSTEMTIME *time)
{
    PlatformCode platform;
    LocalTime t = FromMillis(S().now);
    int64_t days = S().now >= 0 ? S().now / 86400000 : -((-S().now + 86399999) / 86400000);
    time->wYear = static_cast<WORD>(t.year);
    time->wMonth = static_cast<WORD>(t.month);
    time->wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 4) % 7); // 1970-01-01 was a Thursday
    time->wDay = static_cast<WORD>(t.day);
    time->wHour = static_cast<WORD>(t.hour);
    time->wMinute = static_cast<WORD>(t.minute);
    time->wSecond = static_cast<WORD>(t.second);
    time->wMilliseconds = static_cast<WORD>(t.millisecond);
}

void WINAPI GetSystemTimeAsFileTime(FILETIME *time)
{
    PlatformCode platform;
    // 100-nanosecond intervals since 1601-01-01 UTC.
    Millis utc = S().now - static_cast<Millis>(S().options.utcOffsetMinutes) * 60000;
    uint64_t ticks = static_cast<uint64_t>(utc) * 10000 + 116444736000000000ULL;
    time->dwLowDateTime = static_cast<DWORD>(ticks);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

void WINAPI Sleep(DWORD milliseconds)
{
    PlatformCode platform;
    // The program holds its thread: nothing of it moves meanwhile, which the log shows.
    Event event;
    event.kind = "wait";
    event.fields = {{"milliseconds", std::to_string(milliseconds)}};
    Desktop::Current().Emit(event);
    S().now += milliseconds;
}

DWORD WINAPI GetLastError(void)
{
    PlatformCode platform;
    Process *process = CurrentProcess();
    return process ? process->lastError : 0;
}

void WINAPI SetLastError(DWORD error)
{
    PlatformCode platform;
    if (Process *process = CurrentProcess()) process->lastError = error;
}
