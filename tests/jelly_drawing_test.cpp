// Jelly movement and drawing: the steps and their erase strips, the edge of the screen, the
// sounds of a tick, newborns, the hidden characters' pictures, the extras of a full population
// and screens smaller than a picture. Actions are set on the slots as the decision leaves them,
// then one drawing step runs in the stage window.
#include "tests/support/jelly_stage.h"

#include "ground/random.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace zelmo_test;

namespace
{

std::string Text(const RECT &r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

bool Inside(const RECT &r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Ordinary slots alive at the given places, all idle, everything else free; hidden slots idle.
void Population(std::initializer_list<std::pair<int, POINT>> slots)
{
    std::memset(Jelly, 0, sizeof Jelly);
    for (const auto &[s, at] : slots) {
        Jelly[s].Exist = 1;
        Jelly[s].Type = 2;
        Jelly[s].Action = Idle;
        Jelly[s].X = at.x;
        Jelly[s].Y = at.y;
    }
    for (int s = 10; s < 15; ++s) {
        Jelly[s].Exist = 1;
        Jelly[s].Type = 999;
        Jelly[s].Action = Idle;
        Jelly[s].X = 900;
        Jelly[s].Y = 700;
    }
    (void)JellyExsit();
}

// The first `alive` ordinary slots alive and idle in a row, the others free.
void Row(int alive)
{
    Population({});
    for (int s = 0; s < alive; ++s) {
        Jelly[s].Exist = 1;
        Jelly[s].Type = 2;
        Jelly[s].Action = Idle;
        Jelly[s].X = 60 * s + 10;
        Jelly[s].Y = 300;
    }
    (void)JellyExsit();
}

class JellyDrawing : public JellyStage
{
  protected:
    void Prepare()
    {
        Open({2026, 12, 8, 12, 0, 0});
        StartJellyfish();
        HoldTicks();
        OnProgram([] {
            HDC dc = GetDC(Stage());
            RECT all{0, 0, 1024, 768};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            ReleaseDC(Stage(), dc);
        });
        desktop().ClearDrawLog();
        NewSounds();
    }
    static HWND Stage() { return hwndJelly; }
    void Execute()
    {
        OnProgram([] { JellyExecute(Stage()); });
    }
    std::vector<sim::DrawOp> Drawn()
    {
        auto ops = desktop().DrawLog(Window());
        desktop().ClearDrawLog();
        return ops;
    }
};

} // namespace

TEST(JellyMove, TheWorkedExamplesGiveTheirPositionsAndStrips)
{
    sim::Desktop desktop;
    ResetProgramState();
    Jelly[0].X = 100;
    Jelly[0].Y = 100;
    Jelly[0].Direction = 7;
    int x = 0, y = 0;
    RECT first, second;
    SetJellyMove(0, 14, &x, &y, &first, &second);
    EXPECT_EQ(86, x);
    EXPECT_EQ(86, y);
    EXPECT_EQ("(100, 118, 132, 132)", Text(first));
    EXPECT_EQ("(118, 100, 132, 118)", Text(second));
    Jelly[0].Direction = 3;
    SetJellyMove(0, 4, &x, &y, &first, &second);
    EXPECT_EQ(104, x);
    EXPECT_EQ(104, y);
    EXPECT_EQ("(100, 100, 104, 132)", Text(first));
    EXPECT_EQ("(104, 100, 132, 104)", Text(second));
    Jelly[0].Direction = 8;
    SetJellyMove(0, 4, &x, &y, &first, &second);
    EXPECT_EQ(100, x) << "no such direction: no move";
    EXPECT_EQ(first.left, first.right) << "and nothing to erase";
    EXPECT_EQ(100, Jelly[0].X) << "the record is not changed";
}

TEST(JellyMove, InEveryDirectionTheStripsCoverExactlyWhatTheNewSquareUncovers)
{
    sim::Desktop desktop;
    ResetProgramState();
    Jelly[0].X = 200;
    Jelly[0].Y = 300;
    for (int direction = 0; direction < 8; ++direction) {
        for (int step : {4, 6, 8, 10, 12, 14}) {
            Jelly[0].Direction = direction;
            int x = 0, y = 0;
            RECT first, second;
            SetJellyMove(0, step, &x, &y, &first, &second);
            const RECT before{200, 300, 232, 332}, after{x, y, x + 32, y + 32};
            EXPECT_EQ(step, std::max(std::abs(x - 200), std::abs(y - 300)));
            if (direction % 2 == 0) {
                EXPECT_EQ(second.left, second.right);
            }
            for (int py = 280; py < 350; ++py) {
                for (int px = 180; px < 250; ++px) {
                    bool uncovered = Inside(before, px, py) && !Inside(after, px, py);
                    int covers = Inside(first, px, py) + Inside(second, px, py);
                    ASSERT_EQ(uncovered ? 1 : 0, covers) << "direction " << direction << " step "
                                                         << step << " at " << px << "," << py;
                }
            }
        }
    }
}

TEST_F(JellyDrawing, ASwimDrawsThePictureFirstThenPaintsOnlyTheUncoveredStripsBlack)
{
    Prepare();
    OnProgram([] {
        Population({{0, {100, 100}}});
        Jelly[0].Direction = 7;
        Jelly[0].Action = Swim;
    });
    Execute();
    const int d = 100 - Jelly[0].X;
    EXPECT_EQ(d, 100 - Jelly[0].Y);
    EXPECT_TRUE(d >= 4 && d <= 12 && d % 2 == 0) << d;
    auto ops = desktop().DrawLog(Window());
    EXPECT_EQ(32 * 32 + 32 * d + (32 - d) * d, PixelsTouched()) << "the square and two strips";
    ASSERT_EQ(3u, ops.size());
    EXPECT_EQ("icon", ops[0].kind);
    EXPECT_EQ("JELLY02_ICON", ops[0].what);
    EXPECT_EQ("fill", ops[1].kind);
    EXPECT_EQ("000000", ops[1].what);
    EXPECT_EQ("fill", ops[2].kind);
    // Every pixel of the old square that the new one does not cover is black; around it the
    // white ground is untouched.
    const RECT after{100 - d, 100 - d, 132 - d, 132 - d};
    for (int y = 60; y < 150; ++y) {
        for (int x = 60; x < 150; ++x) {
            bool old = x >= 100 && x < 132 && y >= 100 && y < 132;
            if (Inside(after, x, y)) continue;
            ASSERT_EQ(old ? 0x000000u : 0xFFFFFFu, desktop().Pixel(Window(), x, y))
                << x << "," << y;
        }
    }
    EXPECT_EQ(0, desktop().OpenDeviceContexts());
}

TEST_F(JellyDrawing, AMoveOffTheScreenIsNotDrawnAndTurnsAtTheNextDecision)
{
    Prepare();
    OnProgram([] {
        Population({{0, {992, 300}}});
        Jelly[0].Direction = 2;
        Jelly[0].Action = Swim;
    });
    Execute();
    EXPECT_EQ(AtEdge, Jelly[0].Event);
    EXPECT_EQ(992, Jelly[0].X);
    EXPECT_TRUE(Drawn().empty());
    auto sounds = NewSounds();
    EXPECT_EQ(1u, sounds.size()) << "the swim sound starts also for a move off the screen";
    OnProgram([] { JellyCheck(); });
    EXPECT_EQ(Turn, Jelly[0].Action);
    EXPECT_EQ(NoEvent, Jelly[0].Event);
}

// Saved on a larger screen, a jellyfish comes to the nearest place on this one, where it is
// drawn and swims on instead of meeting the edge at every tick.
TEST_F(JellyDrawing, AJellyfishSavedOnALargerScreenComesOntoThisOneAndSwims)
{
    Open({2026, 12, 8, 12, 0, 0}, 800, 600);
    WriteJellyFile(JellyLines(1, 1, 9, 2, 1000, 1000, 700, 0) +
                   JellyLines(2, 1, 2, 2, 1000, 100, 100, 0));
    StartJellyfish();
    EXPECT_EQ(768, Jelly[0].X);
    EXPECT_EQ(568, Jelly[0].Y);
    EXPECT_EQ(100, Jelly[1].X);
    desktop().ClearDrawLog();
    int atEdge = 0;
    for (int t = 0; t < 20; ++t) {
        Tick();
        atEdge += Jelly[0].Event == AtEdge ? 1 : 0;
    }
    EXPECT_LT(atEdge, 20);
    EXPECT_GT(Jelly[0].Age, 1001);
    bool drawn = false;
    for (const auto &op : desktop().DrawLog(Window())) {
        EXPECT_LE(op.x, 768) << op.what;
        drawn = drawn || (op.kind == "icon" && op.x >= 700 && op.y >= 500);
    }
    EXPECT_TRUE(drawn);
}

TEST_F(JellyDrawing, TwoSwimmersGiveOneSoundFromTheLowerSlotAndTheFullPopulationItsOwnFiles)
{
    Prepare();
    auto swimTwo = [this](int alive) {
        OnProgram([alive] {
            Row(alive);
            Jelly[3].Action = Swim;
            Jelly[5].Action = Dash;
        });
        Execute();
        return NewSounds();
    };
    for (int round = 0; round < 10; ++round) {
        auto sounds = swimTwo(9);
        ASSERT_EQ(1u, sounds.size());
        EXPECT_TRUE(sounds[0] == "jelly01.wav" || sounds[0] == "jelly02.wav" ||
                    sounds[0] == "jelly03.wav")
            << sounds[0];
        sounds = swimTwo(10);
        ASSERT_EQ(1u, sounds.size());
        EXPECT_TRUE(sounds[0] == "jelly04.wav" || sounds[0] == "jelly05.wav" ||
                    sounds[0] == "jelly06.wav")
            << sounds[0];
        desktop().Advance(1000); // another second, another seed
    }
}

TEST_F(JellyDrawing, ADeathSoundWaitsFortyMillisecondsBeforeTheSwimSoundReplacesIt)
{
    Prepare();
    desktop().WriteFile(desktop().ProgramFolder() + "jellyend.wav", WaveBytes(800));
    OnProgram([] {
        Population({{3, {100, 100}}, {5, {300, 300}}});
        Jelly[3].Action = Die;
        Jelly[5].Action = Swim;
    });
    const sim::Millis now = desktop().Now();
    Execute();
    const auto &sounds = desktop().Sounds();
    ASSERT_EQ(2u, sounds.size());
    EXPECT_EQ("jellyend.wav", sounds[0].name);
    EXPECT_EQ(now, sounds[0].time);
    EXPECT_EQ(now + 40, sounds[1].time);
    EXPECT_EQ(now + 40, sounds[0].cutOffAt);
    EXPECT_EQ(Dying, Jelly[3].Event);
    auto ops = Drawn();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ("JEND_ICON", ops[0].what);
}

TEST_F(JellyDrawing, ANewbornIsDrawnInTheSameTickOnlyWhenItsSlotComesAfterTheBreeder)
{
    Prepare();
    OnProgram([] {
        Population({{0, {10, 10}}, {1, {60, 10}}, {2, {110, 10}}, {3, {160, 10}}, {7, {400, 10}}});
        Jelly[4].X = 5; // a free slot's leftovers are cleared by the birth
        Jelly[4].ToolAdded = 1;
        Jelly[7].Action = Breed;
    });
    Execute();
    EXPECT_EQ(1, Jelly[4].Exist);
    EXPECT_EQ(0, Jelly[4].Type);
    EXPECT_EQ(0, Jelly[4].Age);
    EXPECT_EQ(0, Jelly[4].Frame) << "not reached in this tick";
    EXPECT_EQ(0, Jelly[4].ToolAdded);
    EXPECT_TRUE(Jelly[4].X >= 0 && Jelly[4].X < 1024 - 64 && Jelly[4].Y >= 0 &&
                Jelly[4].Y < 768 - 64);
    EXPECT_EQ(1, Jelly[7].Frame) << "the breeder turns";
    for (const auto &op : Drawn())
        EXPECT_FALSE(op.x == Jelly[4].X && op.y == Jelly[4].Y) << op.what;

    OnProgram([] {
        Population({{0, {10, 10}}, {1, {60, 10}}, {2, {110, 10}}, {3, {160, 10}}});
        Jelly[2].Action = Breed;
    });
    Execute();
    EXPECT_EQ(1, Jelly[4].Frame);
    auto ops = Drawn();
    EXPECT_NE(ops.end(), std::find_if(ops.begin(), ops.end(), [](const sim::DrawOp &op) {
                  return op.what == "JELLY20_ICON" && op.x == Jelly[4].X && op.y == Jelly[4].Y;
              }));

    // With all ten alive nobody is born, and the breeder still turns.
    OnProgram([] {
        Row(10);
        Jelly[0].Action = Breed;
    });
    Execute();
    EXPECT_EQ(1, Jelly[0].Frame);
    EXPECT_EQ(10, JellyExsit());
}

TEST_F(JellyDrawing, HiddenCharactersShowOnlyWhenTheyRevealAndVanishWithoutDying)
{
    Prepare();
    OnProgram([] {
        Population({{0, {10, 10}}});
        Jelly[10].Action = Reveal;
        Jelly[11].Action = Vanish;
        Jelly[11].X = 500;
        Jelly[11].Y = 400;
        Jelly[12].Action = Idle;
        Jelly[13].Action = Animate;
        Jelly[14].Action = Turn;
    });
    Execute();
    EXPECT_EQ(Revealed, Jelly[10].Event);
    EXPECT_EQ(1, Jelly[11].Exist);
    EXPECT_EQ(NoEvent, Jelly[12].Event);
    EXPECT_EQ(1, Jelly[13].Frame) << "its state changes without a picture";
    std::vector<std::string> drawn;
    for (const auto &op : Drawn())
        drawn.push_back(op.what + "@" + std::to_string(op.x));
    EXPECT_EQ((std::vector<std::string>{"JELLY02_ICON@10", "JHIDE0_ICON@900", "JDUMMY_ICON@500"}),
              drawn);
    EXPECT_EQ(0u, desktop().Pixel(Window(), 510, 410));
}

TEST_F(JellyDrawing, ChangeAndDeathLeaveTheirEventsAndAnUnknownActionIsPassedOver)
{
    Prepare();
    OnProgram([] {
        Population({{0, {10, 10}}, {1, {60, 10}}, {2, {110, 10}}});
        Jelly[0].Action = Change;
        Jelly[1].Action = Change;
        Jelly[1].Countdown = 2;
        Jelly[2].Action = 8; // no such action
    });
    Execute();
    EXPECT_EQ(4, Jelly[0].Countdown);
    EXPECT_EQ(2, Jelly[1].Countdown) << "a running animation keeps its count";
    EXPECT_EQ(Changing, Jelly[1].Event);
    auto ops = Drawn();
    ASSERT_EQ(2u, ops.size());
    EXPECT_EQ("JCHANGE_ICON", ops[1].what);
}

TEST_F(JellyDrawing, AnEmptyPictureIsNotDrawnButTheMoveAndItsStripsStillHappen)
{
    Prepare();
    OnProgram([] {
        Population({{0, {100, 100}}});
        Jelly[0].Direction = 4;
        Jelly[0].Action = Swim;
        DestroyIcon(Hicon[2]);
        Hicon[2] = nullptr;
    });
    Execute();
    EXPECT_GT(Jelly[0].Y, 100);
    auto ops = Drawn();
    ASSERT_EQ(1u, ops.size());
    EXPECT_EQ("fill", ops[0].kind);
}

TEST_F(JellyDrawing, WithNineAliveNothingComesAfterTheSlotsAndNoNumberIsDrawnForIt)
{
    Prepare();
    OnProgram([] { Population({{0, {10, 10}}, {1, {60, 10}}}); });
    int next = 0, expected = 0;
    OnProgram([&] {
        const int divisor = SrandCount;
        JellyExecute(hwndJelly);
        next = Prng::rand();
        Prng::srand(static_cast<uint32_t>(CalendarSeconds() / divisor));
        expected = Prng::rand();
    });
    EXPECT_EQ(expected, next) << "idle slots and no extras: the drawing took no number";
    EXPECT_EQ(2u, Drawn().size());
}

// Ten adults of every kind from a jelly file, far from breeding and death, through 300 of the
// window's ticks: stars land on jellyfish where they are after the tick's moves, and now and then
// a decoration somewhere.
TEST_F(JellyDrawing, WithAllTenAliveStarsLandOnJellyfishAndDecorationsNowAndThen)
{
    Open();
    std::string file;
    for (int n = 1; n <= 10; ++n)
        file += JellyLines(n, 1, 2 + n % 8, n % 8, 1000, 90 * n - 70, 300, 0);
    WriteJellyFile(file);
    ASSERT_EQ(1, StartJellyfish());
    desktop().ClearDrawLog();
    std::map<std::string, int> extras;
    int64_t busiest = 0;
    for (int t = 0; t < 300; ++t) {
        Tick();
        ASSERT_EQ(1, IsAll) << "tick " << t;
        for (const auto &op : desktop().DrawLog(Window())) {
            if (op.what == "JSTAR_ICON") {
                bool onOne = false;
                for (int s = 0; s < 10; ++s)
                    onOne = onOne || (op.x == Jelly[s].X && op.y == Jelly[s].Y);
                EXPECT_TRUE(onOne) << op.x << "," << op.y;
            }
            if (op.what == "JSTAR_ICON" || op.what == "JBACK1_ICON" || op.what == "JBACK2_ICON")
                ++extras[op.what];
        }
        busiest = std::max(busiest, PixelsTouched());
    }
    EXPECT_GT(extras["JSTAR_ICON"], 1000); // about half of 3000
    EXPECT_LT(extras["JSTAR_ICON"], 2000);
    EXPECT_GT(extras["JBACK1_ICON"], 0);
    EXPECT_GT(extras["JBACK2_ICON"], 0);
    EXPECT_GT(extras["JBACK1_ICON"], extras["JBACK2_ICON"]);
    // Ten squares with their strips, at most a decoration and ten stars: never the whole screen.
    EXPECT_LE(busiest, (10 + 10 + 1 + 10) * 32 * 32);
    EXPECT_EQ(0, desktop().OpenDeviceContexts());
}

TEST_F(JellyDrawing, ScreensSmallerThanAPictureNeverDivideByZero)
{
    for (int side : {20, 32, 40, 64}) {
        Open({2026, 12, 8, 12, 0, 0}, side, side);
        EXPECT_EQ(0, StartJellyfish());
        const int within = std::max(0, side - 33);
        EXPECT_LE(Jelly[0].X, within) << side;
        EXPECT_LE(Jelly[12].Y, within) << side;
        OnProgram([] {
            Jelly[0].Action = Breed;
            Jelly[12].Action = Breed;
            for (int s = 10; s < 15; ++s)
                Jelly[s].ClickCount = 3; // they move at the next decision
            JellyExecute(hwndJelly);
        });
        EXPECT_EQ(1, Jelly[2].Exist);
        EXPECT_LE(Jelly[2].X, std::max(0, side - 65)) << "a newborn within screen size - 64";
        EXPECT_EQ(1, Jelly[3].Exist) << "the hidden character's newborn";
        Ticks(30);
        for (int s = 10; s < 15; ++s) {
            EXPECT_GE(Jelly[s].X, 0);
            EXPECT_LE(Jelly[s].X, within) << side;
        }
    }
}
