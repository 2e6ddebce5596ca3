#include "jelly_stage.h"

#include "app/main.h"

#include <algorithm>

namespace zelmo_test
{

namespace
{

constexpr UINT_PTR JellyTimer = 106;
HWND Stage = nullptr;
bool TimerRunning = false;
std::function<void()> AfterTick;

void JellyTick(HWND hwnd)
{
    JellyCheck();
    JellyExecute(hwnd);
    if (JellyExsit() == 0) {
        KillTimer(hwnd, JellyTimer);
        TimerRunning = false;
    }
    if (SrandCount > 999) SrandCount = 1;
    if (AfterTick) AfterTick();
}

LRESULT CALLBACK StageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        JellyTick(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI StageProgram(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    hInst = instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = StageProc;
    wc.hInstance = instance;
    wc.lpszClassName = "JellyStage";
    RegisterClassA(&wc);
    Stage = CreateWindowExA(WS_EX_TOPMOST, "JellyStage", "", WS_POPUP, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                            nullptr, instance, nullptr);
    ShowWindow(Stage, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    return 0;
}

} // namespace

std::string JellyLines(int number, int exist, int type, int direction, int age, int x, int y,
                       int clicks)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "JELLY%02d_EXIST=%d\r\nJELLY%02d_TYPE_=%d\r\nJELLY%02d_DIRCT=%d\r\n"
                  "JELLY%02d_AGE__=%05d\r\nJELLY%02d_XXXXX=%04d\r\nJELLY%02d_YYYYY=%04d\r\n"
                  "JELLY%02d_CRICK=%04d\r\n",
                  number, exist, number, type, number, direction, number, age, number, x, number, y,
                  number, clicks);
    return text;
}

JellyRecord JellyOf(int exist, int type, int direction, int age, int x, int y, int clicks)
{
    JellyRecord record{};
    record.Exist = exist;
    record.Type = type;
    record.Direction = direction;
    record.Age = age;
    record.X = x;
    record.Y = y;
    record.ClickCount = clicks;
    return record;
}

std::string FreeJellyLines(int number)
{
    return JellyLines(number, 0, 0, 0, 0, 0, 0, 0);
}

std::string JellyFileOf(int alive, int type, int age, int clicks)
{
    std::string text;
    for (int number = 1; number <= 10; ++number)
        text += number <= alive ? JellyLines(number, 1, type, 0, age, 60 * number, 300, clicks)
                                : FreeJellyLines(number);
    return text;
}

void JellyDesk::Open(sim::LocalTime start, int width, int height)
{
    desktop_.reset();
    sim::Desktop::Options options;
    options.start = start;
    options.screenWidth = width;
    options.screenHeight = height;
    desktop_ = std::make_unique<sim::Desktop>(options);
    ResetProgramState();
    Stage = nullptr;
    TimerRunning = false;
    AfterTick = nullptr;
    soundsSeen_ = 0;
    process_ = desktop_->Start(&StageProgram);
}

JellyDesk::~JellyDesk()
{
    desktop_.reset();
    AfterTick = nullptr;
}

void JellyDesk::AfterEachTick(std::function<void()> action)
{
    AfterTick = std::move(action);
}

HWND JellyDesk::Window() const
{
    return Stage;
}

void JellyDesk::OnProgram(std::function<void()> action)
{
    desktop_->Input(process_, std::move(action));
}

void JellyDesk::WriteJellyFile(const std::string &text)
{
    desktop_->WriteFile(desktop_->ProgramFolder() + "Jelly.INI", text);
}

std::optional<std::string> JellyDesk::JellyFile() const
{
    return desktop_->ReadFile(desktop_->ProgramFolder() + "Jelly.INI");
}

int JellyDesk::StartJellyfish()
{
    int result = -1;
    OnProgram([&result] {
        SrandCount = 1;
        HideCount = 5;
        CharCount = HideCount + 10;
        result = ReadJellyIniFile();
        (void)JellyExsit();
        SetTimer(Stage, JellyTimer, 300, nullptr);
        TimerRunning = true;
    });
    return result;
}

void JellyDesk::StopJellyfish()
{
    OnProgram([] {
        KillTimer(Stage, JellyTimer);
        TimerRunning = false;
    });
}

void JellyDesk::Ticks(int count)
{
    for (int i = 0; i < count; ++i)
        Tick();
}

void JellyDesk::TicksInOneGo(int count)
{
    OnProgram([count] {
        KillTimer(Stage, JellyTimer);
        for (int i = 0; i < count && TimerRunning; ++i) {
            const sim::Millis due = sim::Desktop::Current().Now() + 300;
            JellyTick(Stage);
            const sim::Millis now = sim::Desktop::Current().Now();
            if (now < due) Sleep(static_cast<DWORD>(due - now));
        }
    });
}

bool JellyDesk::Running() const
{
    return TimerRunning;
}

std::vector<std::string> JellyDesk::NewSounds()
{
    std::vector<std::string> names;
    const auto &sounds = desktop_->Sounds();
    for (size_t i = soundsSeen_; i < sounds.size(); ++i)
        names.push_back(sounds[i].name);
    soundsSeen_ = sounds.size();
    return names;
}

int64_t JellyDesk::PixelsTouched()
{
    auto window = desktop_->Window(Stage);
    int width = window->rect.right - window->rect.left;
    int height = window->rect.bottom - window->rect.top;
    int64_t pixels = 0;
    for (const sim::DrawOp &op : desktop_->DrawLog(Stage)) {
        int64_t w = std::min(op.x + op.width, width) - std::max(op.x, 0);
        int64_t h = std::min(op.y + op.height, height) - std::max(op.y, 0);
        if (w > 0 && h > 0) pixels += w * h;
    }
    desktop_->ClearDrawLog();
    return pixels;
}

} // namespace zelmo_test
