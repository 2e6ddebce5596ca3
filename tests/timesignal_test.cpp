// The hourly time signal: its trigger, its window and its frames.
#include "tests/support/owner.h"
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "resources/resource.h"
#include "timesignal/timesignal.h"

#include <set>

using namespace zelmo_test;

namespace
{

std::string Settings(int signal, int kind, bool birds = false)
{
    return std::string(birds ? "IDC_SOUND02=1\r\nIDCB_SOUND02=0\r\n" : "") +
           "IDC_TSIGNAL=" + std::to_string(signal) + "\r\nIDCB_TSIGNAL=" + std::to_string(kind) +
           "\r\n";
}

class TimeSignal : public ::testing::Test
{
  protected:
    void StartAt(sim::LocalTime time, int signal, int kind)
    {
        program.reset(); // one simulated desktop at a time
        program = std::make_unique<Program>(time);
        program->WriteProgramFile("ZelmoSound.INI", Settings(signal, kind));
        program->Start();
    }
    sim::Desktop &desktop() { return program->desktop(); }
    // The user switches the time signal on (of the kind) or off in the second settings dialog
    // and confirms it.
    void ChooseTimeSignal(bool on, int kind = 0)
    {
        HWND dialog = program->OpenFromTray(IDM_OTHERSETTINGS, "4");
        ASSERT_TRUE(dialog);
        if (desktop().Control(dialog, IDC_TSIGNAL).checked != on)
            desktop().Click(dialog, IDC_TSIGNAL);
        if (on) desktop().Select(dialog, IDCB_TSIGNAL, kind);
        desktop().Click(dialog, IDC_OK);
    }
    int Shows() const
    {
        int shows = 0;
        for (const auto &sound : program->Sounds())
            shows += sound.name == "alarm99.wav" ? 1 : 0;
        return shows / 9;
    }
    std::vector<sim::DrawOp> Texts()
    {
        std::vector<sim::DrawOp> texts;
        for (const auto &op : desktop().DrawLog(hwndSignal))
            if (op.kind == "text") texts.push_back(op);
        return texts;
    }
    std::unique_ptr<Program> program;
};

} // namespace

TEST_F(TimeSignal, OneSignalPerFullHourFromTheFirstTickInItsTwoSeconds)
{
    StartAt({2026, 12, 8, 9, 59, 50, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 10});
    EXPECT_EQ(1, Shows()) << "ticks at :00 and :01 give one signal";
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 0, 300}), program->Sounds().front().time);
    EXPECT_FALSE(desktop().Window(hwndSignal)->visible);
}

TEST_F(TimeSignal, ALateTickAtSecondOneStillRingsAndNoTickInTheWindowMeansNoSignal)
{
    StartAt({2026, 12, 8, 9, 59, 50, 0}, 1, 0);
    // The main timer ticks on whole seconds from start; pause ticks by holding the program up.
    desktop().AdvanceTo({2026, 12, 8, 9, 59, 59, 500});
    desktop().Input(program->process(), [] { Sleep(1700); }); // the only tick in the window: :01.2
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 5});
    EXPECT_EQ(1, Shows());

    desktop().AdvanceTo({2026, 12, 8, 10, 59, 59, 500});
    desktop().Input(program->process(), [] { Sleep(2600); }); // no tick in 11:00:00-01
    desktop().AdvanceTo({2026, 12, 8, 11, 0, 10});
    EXPECT_EQ(1, Shows());
}

TEST_F(TimeSignal, WithTheSwitchOffNothingIsPostedAndTheLatchStays)
{
    StartAt({2026, 12, 8, 9, 59, 58, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 0, 500});
    EXPECT_EQ(1, SignalFired);
    ChooseTimeSignal(false);
    desktop().AdvanceTo({2026, 12, 8, 11, 0, 5});
    EXPECT_EQ(1, SignalFired);
    EXPECT_EQ(1, Shows());
    // Switched on again inside the window with the latch still set: no second signal.
    desktop().AdvanceTo({2026, 12, 8, 11, 59, 59, 500});
    ChooseTimeSignal(true);
    desktop().AdvanceTo({2026, 12, 8, 12, 0, 5});
    EXPECT_EQ(1, Shows()) << "the latch was never re-armed outside the window";
    desktop().AdvanceTo({2026, 12, 8, 13, 0, 5});
    EXPECT_EQ(2, Shows());
}

TEST_F(TimeSignal, ComesWhilePausedWhileADialogIsOpenAndWhileTheJellyfishRun)
{
    StartAt({2026, 12, 8, 9, 59, 0}, 1, 0);
    program->ChooseFromTray(IDM_PAUSE);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 5});
    EXPECT_EQ(1, Shows());
    program->ChooseFromTray(IDM_PAUSE);
    program->ChooseFromTray(IDM_SOUNDSETTINGS);
    auto dialog = desktop().Dialog("3");
    ASSERT_TRUE(dialog);
    desktop().AdvanceTo({2026, 12, 8, 11, 0, 5});
    EXPECT_EQ(2, Shows());
    desktop().Click(dialog->hwnd, IDC_CANCEL);

    // The jellyfish, started as a user starts them: the first-run hint, answered, then they swim.
    desktop().AdvanceTo({2026, 12, 8, 11, 59, 0});
    program->ChooseFromTray(IDM_JELLY);
    ASSERT_EQ(1u, desktop().OpenMessageBoxes().size());
    desktop().AnswerMessageBox(IDOK);
    desktop().AdvanceTo({2026, 12, 8, 12, 0, 5});
    EXPECT_EQ(1, ZelmoJelly);
    EXPECT_TRUE(desktop().Window(hwndJelly)->visible);
    EXPECT_EQ(3, Shows());
}

TEST_F(TimeSignal, KindZeroShowsTheHourAtTheTopInSevenColoursWithNineAlarms)
{
    StartAt({2026, 12, 8, 23, 59, 59, 0}, 1, 0);
    desktop().SetCursorPos(900, 700);
    desktop().AdvanceTo({2026, 12, 9, 0, 0, 1, 0});
    auto window = *desktop().Window(hwndSignal);
    EXPECT_TRUE(window.visible);
    // The seven characters in the signal's font (Yu Gothic UI, bold, 16 pixels: Ume UI Gothic
    // made bold, one pixel wider each): 12 for the full-width space and digit, then 17, 14, 13,
    // 17 and 14 for "時だよ～ん"; 16 high.
    EXPECT_EQ(99, window.rect.right - window.rect.left);
    EXPECT_EQ(16, window.rect.bottom - window.rect.top);
    // Placed by the size it had before (140 x 70 at the first showing), then resized.
    EXPECT_EQ(900 - 140, window.rect.left);
    EXPECT_EQ(700 - 70, window.rect.top);

    desktop().AdvanceTo({2026, 12, 9, 0, 0, 4});
    auto texts = Texts();
    ASSERT_EQ(9u, texts.size());
    const COLORREF colors[9] = {RGB(255, 255, 0),   RGB(0, 255, 255), RGB(255, 0, 255),
                                RGB(255, 0, 0),     RGB(0, 255, 0),   RGB(0, 0, 255),
                                RGB(255, 255, 255), RGB(255, 255, 0), RGB(0, 255, 255)};
    for (int frame = 0; frame < 9; ++frame) {
        EXPECT_EQ("　０時だよ～ん", texts[frame].what);
        EXPECT_EQ(frame % 2, texts[frame].x);
        EXPECT_EQ(frame % 2, texts[frame].y);
        EXPECT_EQ(colors[frame], texts[frame].color);
        EXPECT_EQ(TRANSPARENT, texts[frame].bkMode);
    }
    auto sounds = program->Sounds();
    ASSERT_EQ(9u, sounds.size());
    for (int frame = 0; frame < 9; ++frame) {
        EXPECT_EQ("alarm99.wav", sounds[frame].name);
        EXPECT_EQ(sounds[0].time + 300 * frame, sounds[frame].time);
    }
    for (const auto &op : desktop().DrawLog(hwndSignal))
        EXPECT_NE("icon", op.kind);
    // Hidden at the tenth tick, three seconds after the show.
    EXPECT_FALSE(desktop().Window(hwndSignal)->visible);
}

TEST_F(TimeSignal, NoonShowsTwelve)
{
    StartAt({2026, 12, 8, 11, 59, 59, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 12, 0, 4});
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ("１２時だよ～ん", Texts().front().what);
}

TEST_F(TimeSignal, KindOneDrawsTheCharacterAboveTheTextAndPlaysItsSounds)
{
    std::set<int> characters;
    for (int day = 1; day <= 28 && characters.size() < 5; ++day) {
        StartAt({2026, 12, day, 7, 59, 59, 0}, 1, 1);
        desktop().AdvanceTo({2026, 12, day, 8, 0, 4});
        characters.insert(SignalChar);
        auto window = *desktop().Window(hwndSignal);
        EXPECT_EQ(16 + 50, window.rect.bottom - window.rect.top);

        static const char *const icons[5][2] = {{"STAR1_ICON", "STAR2_ICON"},
                                                {"PASO1_ICON", "PASO2_ICON"},
                                                {"TREE1_ICON", "TREE2_ICON"},
                                                {"MONS1_ICON", "MONS2_ICON"},
                                                {"SNOW1_ICON", "SNOW2_ICON"}};
        static const char *const sounds[5][2] = {{"star1.wav", "star2.wav"},
                                                 {"tree1.wav", "tree2.wav"},
                                                 {"bell.wav", ""},
                                                 {"monster1.wav", "monster2.wav"},
                                                 {"snowman.wav", ""}};
        int frame = 0;
        for (const auto &op : desktop().DrawLog(hwndSignal)) {
            if (op.kind == "icon") {
                EXPECT_EQ(icons[SignalChar][frame % 2], op.what);
                EXPECT_EQ(SignalChar == 3 ? 100 - 13 * frame : 10, op.x);
                EXPECT_EQ(10, op.y);
            } else {
                EXPECT_EQ(50 + frame % 2, op.y);
                ++frame;
            }
        }
        EXPECT_EQ(9, frame);
        std::vector<std::string> expected;
        for (int f = 0; f < 9; ++f)
            if (sounds[SignalChar][f % 2][0]) expected.push_back(sounds[SignalChar][f % 2]);
        EXPECT_EQ(expected, program->SoundNames());
    }
    EXPECT_EQ(5u, characters.size()) << "every character shows up on some day";
}

TEST_F(TimeSignal, TheRightButtonHidesItAtOnceAndTheNextHourShowsAgain)
{
    StartAt({2026, 12, 8, 9, 59, 59, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 1});
    ASSERT_TRUE(desktop().Window(hwndSignal)->visible);
    desktop().Post(hwndSignal, WM_RBUTTONDOWN, 0, 0);
    EXPECT_FALSE(desktop().Window(hwndSignal)->visible);
    size_t heard = program->Sounds().size();
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 10});
    EXPECT_EQ(heard, program->Sounds().size());
    desktop().AdvanceTo({2026, 12, 8, 11, 0, 1});
    EXPECT_TRUE(desktop().Window(hwndSignal)->visible);
}

TEST_F(TimeSignal, AmbientSoundsStayQuietAroundTheHourOnlyWithTheSignalOn)
{
    program = std::make_unique<Program>(sim::LocalTime{2026, 12, 8, 9, 59, 0});
    program->AddSounds("bird", 4);
    program->WriteProgramFile("ZelmoSound.INI", Settings(1, 0, true));
    program->Start();
    desktop().AdvanceTo({2026, 12, 8, 10, 1, 0});
    for (const auto &sound : program->Sounds()) {
        if (sound.name.rfind("bird", 0) != 0) continue;
        bool quiet = sound.time >= sim::ToMillis({2026, 12, 8, 9, 59, 57}) &&
                     sound.time <= sim::ToMillis({2026, 12, 8, 10, 0, 3});
        EXPECT_FALSE(quiet) << sim::FormatTime(sound.time);
    }
}

TEST_F(TimeSignal, DaysOfSignalsLeaveNoDeviceContextAndNoGrowingIconHandles)
{
    StartAt({2026, 12, 8, 9, 30, 0}, 1, 1);
    desktop().AdvanceTo({2026, 12, 9, 9, 30, 0});
    int iconsAfterADay = desktop().OpenIcons();
    EXPECT_LE(iconsAfterADay, 10);
    desktop().AdvanceTo({2026, 12, 11, 9, 30, 0});
    EXPECT_EQ(0, desktop().OpenDeviceContexts());
    EXPECT_EQ(1, desktop().OpenFonts());
    EXPECT_LE(desktop().OpenIcons(), 10);
    EXPECT_GE(desktop().OpenIcons(), iconsAfterADay);
    EXPECT_EQ(0, desktop().OpenHandles());
}

TEST_F(TimeSignal, TheFramebufferShowsTheCharacterAndTheColouredText)
{
    StartAt({2026, 12, 8, 9, 59, 59, 0}, 1, 1);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 0, 400});
    // Frame 0 is drawn: the text's first character cell has yellow ink on its frame line.
    EXPECT_EQ(0xFFFF00u, desktop().Pixel(hwndSignal, 1, 51));
    bool picture = false;
    for (int y = 10; y < 42; ++y)
        for (int x = 0; x < 84; ++x)
            picture |= desktop().Pixel(hwndSignal, x, y) != 0;
    EXPECT_TRUE(picture);
}

namespace
{

std::vector<LONG> Corners(const RECT &rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

TEST_F(TimeSignal, TicksAtSecondZeroAndSecondOnePostOneShowMessage)
{
    StartAt({2026, 12, 8, 9, 59, 58, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 10});
    EXPECT_EQ(1, desktop().Dispatched(hwndSignal)[WM_ZELMO_SIGNAL]);
    std::vector<std::string> alarms(9, "alarm99.wav");
    EXPECT_EQ(alarms, program->SoundNames()) << "one showing, not one cut short by another";
}

// Seeded at frame 0 with the calendar seconds divided by the day of the month: on 2026-12-12 at
// 10:00:00 (1797037200 s) that is 1797037200 / 12 = 149753100, whose first draw gives
// character 2 (the fir tree); undivided it would be 1. The birds' next draw after it, at
// 10:00:03, is seeded afresh by the scheduler: bird03 (held back in the quiet seconds), then an
// interval of 6 s, so bird01 at 10:00:09 and then 5 s.
TEST_F(TimeSignal, TheCharacterIsDrawnFromTheSecondsDividedByTheDayAndTheBirdsDrawAfresh)
{
    program = std::make_unique<Program>(sim::LocalTime{2026, 12, 12, 9, 59, 59});
    program->AddSounds("bird", 4);
    program->WriteProgramFile("ZelmoSound.INI", Settings(1, 1, true));
    program->Start();
    EXPECT_EQ(4, In[1].Target);
    desktop().AdvanceTo({2026, 12, 12, 10, 0, 3});
    EXPECT_EQ(2, SignalChar);
    ASSERT_FALSE(desktop().DrawLog(hwndSignal).empty());
    EXPECT_EQ("TREE1_ICON", desktop().DrawLog(hwndSignal).front().what);
    EXPECT_EQ(0, In[1].Elapsed) << "the turn at 10:00:03 was used up";
    EXPECT_EQ(6, In[1].Target);

    desktop().AdvanceTo({2026, 12, 12, 10, 0, 9});
    auto sounds = program->Sounds();
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ("bird01.wav", sounds.back().name);
    EXPECT_EQ(sim::ToMillis({2026, 12, 12, 10, 0, 9}), sounds.back().time);
    EXPECT_EQ(5, In[1].Target);
    for (const auto &sound : sounds)
        EXPECT_NE("bird03.wav", sound.name);
}

TEST_F(TimeSignal, TheWindowIsATopmostClickThroughPopupThatHandsTheKeyboardBack)
{
    StartAt({2026, 12, 8, 9, 59, 59, 0}, 1, 0);
    // Another program's window has the keyboard when the signal comes.
    int editor = desktop().Start(&OwnerProgram);
    desktop().Input(editor, [] { (void)ShowWindow(OwnerWindow, SW_SHOW); });
    ASSERT_EQ(OwnerWindow, desktop().Foreground());

    auto window = *desktop().Window(hwndSignal);
    EXPECT_EQ("ZelmoTimeSignal", window.className);
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), window.classStyle);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP), window.style & ~static_cast<DWORD>(WS_VISIBLE));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOPMOST | WS_EX_TRANSPARENT), window.exStyle);
    EXPECT_EQ(program->MainWindow(), window.owner);
    EXPECT_EQ("", window.title);

    desktop().AdvanceTo({2026, 12, 8, 10, 0, 0, 100});
    EXPECT_TRUE(desktop().Window(hwndSignal)->visible);
    EXPECT_EQ(OwnerWindow, desktop().Foreground()) << "the user's window keeps the keyboard";
}

TEST_F(TimeSignal, EachShowingIsPlacedByThePreviousSizeAndFailedMeasuringGives138By70)
{
    StartAt({2026, 12, 8, 9, 59, 59, 0}, 1, 0);
    desktop().SetCursorPos(500, 400);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 1});
    EXPECT_EQ((std::vector<LONG>{500 - 140, 400 - 70, 500 - 140 + 99, 400 - 70 + 16}),
              Corners(desktop().Window(hwndSignal)->rect));

    // The next hour's measuring fails: placed by the 99 x 16 of this showing, sized 138 x 70.
    desktop().GdiFaults().textExtent = true;
    desktop().AdvanceTo({2026, 12, 8, 11, 0, 1});
    EXPECT_EQ((std::vector<LONG>{500 - 99, 400 - 16, 500 - 99 + 138, 400 - 16 + 70}),
              Corners(desktop().Window(hwndSignal)->rect));

    // With a character too the fallback is 138 x 70; the next showing is placed by it. (The
    // settings come from the tray; the pointer goes back afterwards.)
    ChooseTimeSignal(true, 1);
    desktop().MovePointer(500, 400);
    desktop().AdvanceTo({2026, 12, 8, 12, 0, 1});
    EXPECT_EQ((std::vector<LONG>{500 - 138, 400 - 70, 500, 400}),
              Corners(desktop().Window(hwndSignal)->rect));
}

TEST_F(TimeSignal, AShowMessageWhileShowingStartsAgainFromFrameZero)
{
    StartAt({2026, 12, 8, 9, 59, 59, 0}, 1, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 1, 500}); // frames 0 to 4 drawn
    ASSERT_EQ(5u, Texts().size());
    desktop().Post(hwndSignal, WM_ZELMO_SIGNAL, 0, 0);
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 4, 400});
    EXPECT_TRUE(desktop().Window(hwndSignal)->visible) << "three seconds from the new show";
    desktop().AdvanceTo({2026, 12, 8, 10, 0, 4, 600});
    EXPECT_FALSE(desktop().Window(hwndSignal)->visible);

    auto texts = Texts();
    ASSERT_EQ(5u + 9u, texts.size());
    EXPECT_EQ(RGB(255, 255, 0), texts[5].color) << "frame 0's colour again";
    EXPECT_EQ(0, texts[5].x);
    EXPECT_EQ(sim::ToMillis({2026, 12, 8, 10, 0, 1, 800}), texts[5].time);
}
