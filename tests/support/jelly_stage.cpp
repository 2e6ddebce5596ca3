// The jellyfish's stage: the program's own jelly window on a desktop without the rest of the
// program, started, ticked and stopped through the window's own start, tick and stop.
#include "tests/support/jelly_stage.h"

#include "ground/globals.h"
#include "jelly/jellywindow.h"

#include <algorithm>

namespace zelmo_test
{

namespace
{

std::function<void()> AfterTick;

// A program that makes the jelly window, unowned, and runs its messages until the window goes.
int WINAPI StageProgram(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    hInst = instance;
    ZelmoJellyWin(nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
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
    AfterTick = nullptr;
    soundsSeen_ = 0;
    stops_ = 0;
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
    return hwndJelly;
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
    desktop_->Post(hwndJelly, WM_ZELMO_JELLY, 0, 0);
    desktop_->RunUntilIdle();
    // The first-run hint, when there was no file to read, is answered as the user does.
    if (desktop_->OpenMessageBoxes().empty()) return 1;
    desktop_->AnswerMessageBox(IDOK);
    return 0;
}

void JellyDesk::StopJellyfish()
{
    // The user's right click near the corner and Yes to the end question; two stops in a row
    // click in two places, else the second click would be the second half of a double click.
    const int at = stops_++ % 2 == 0 ? 0 : 10;
    desktop_->RightClick(at, at);
    desktop_->AnswerMessageBox(IDYES);
}

void JellyDesk::HoldTicks()
{
    OnProgram([] { KillTimer(hwndJelly, JELLY_TIMER); });
}

void JellyDesk::Tick()
{
    desktop_->Advance(300);
    AnswerNobodyLeft();
}

void JellyDesk::AnswerNobodyLeft()
{
    if (!desktop_->OpenMessageBoxes().empty()) desktop_->AnswerMessageBox(IDOK);
}

void JellyDesk::Ticks(int count)
{
    for (int i = 0; i < count; ++i)
        Tick();
}

void JellyDesk::TicksInOneGo(int count)
{
    OnProgram([count] {
        KillTimer(hwndJelly, JELLY_TIMER);
        for (int i = 0; i < count && ZelmoJelly != 0; ++i) {
            const sim::Millis due = sim::Desktop::Current().Now() + 300;
            JellyTick(hwndJelly);
            if (AfterTick) AfterTick();
            const sim::Millis now = sim::Desktop::Current().Now();
            if (now < due) Sleep(static_cast<DWORD>(due - now));
        }
        if (ZelmoJelly != 0) SetTimer(hwndJelly, JELLY_TIMER, 300, nullptr);
    });
    // Nobody left: the message waits inside the last tick until the user answers it.
    AnswerNobodyLeft();
}

bool JellyDesk::Running() const
{
    return ZelmoJelly != 0;
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
    auto window = desktop_->Window(hwndJelly);
    int width = window->rect.right - window->rect.left;
    int height = window->rect.bottom - window->rect.top;
    int64_t pixels = 0;
    for (const sim::DrawOp &op : desktop_->DrawLog(hwndJelly)) {
        int64_t w = std::min(op.x + op.width, width) - std::max(op.x, 0);
        int64_t h = std::min(op.y + op.height, height) - std::max(op.y, 0);
        if (w > 0 && h > 0) pixels += w * h;
    }
    desktop_->ClearDrawLog();
    return pixels;
}

} // namespace zelmo_test
