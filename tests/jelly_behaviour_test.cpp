// Jelly behaviour: the pinned sequence of draws, coming of age, death, breeding ages, clicks,
// the change animation and the hidden characters' cycle. Clicks are marked on the slot as the
// jelly window's click handler marks them.
#include "tests/support/jelly_stage.h"

#include "ground/random.h"

#include <algorithm>
#include <set>
#include <tuple>

using namespace zelmo_test;

namespace
{

std::string TwoAdults()
{
    std::string text =
        JellyLines(1, 1, 3, 2, 1000, 100, 100, 0) + JellyLines(2, 1, 9, 4, 1399, 300, 200, 0);
    for (int number = 3; number <= 10; ++number)
        text += FreeJellyLines(number);
    return text;
}

using Drawn = std::tuple<std::string, int, int>;

std::vector<Drawn> Icons(sim::Desktop &desktop, HWND hwnd)
{
    std::vector<Drawn> icons;
    for (const auto &op : desktop.DrawLog(hwnd))
        if (op.kind == "icon") icons.emplace_back(op.what, op.x, op.y);
    desktop.ClearDrawLog();
    return icons;
}

void Click(int slot)
{
    Jelly[slot].Clicked = 1;
}

} // namespace

// 2026-12-08 12:00:00 local is 03:00:00 UTC: the calendar time T = 1796698800. The start seeds
// with T; tick k (at k * 300 ms) decides with T' / (2k - 1) and draws with T' / (2k), T' being
// the whole seconds at that moment. The values below were worked out from the generator alone:
//   start, srand(T): 21164 18223 9060 ...: hidden slot 10 gets age 21164 % 300 = 164,
//     x 18223 % 992 = 367, y 9060 % 736 = 228; slots 11..14 follow.
//   tick 1, srand(T): slot 0 (type 3, age 1001) l = 21164 % 100 = 64: Animate; slot 1 (type 9,
//     age 1400, a breeding age) 18223 % 4 = 3: Breed; the hidden ones 9060 % 800 = 260, 234,
//     703, 96, 764: none is 77, all Idle.
//   tick 1, srand(T / 2): 10582 9285 20979: the newborn in slot 2 at (10582 % 960,
//     9285 % 704) = (22, 133); the breeder turns to 20979 % 8 = 3. The newborn lies after the
//     breeder, so it is drawn in this tick with frame 1.
//   tick 4, srand((T + 1) / 7): 26379 12293 27942: slot 0 l = 79 Animate, slot 1 l = 93 Swim,
//     slot 2 (type 0, age 3) l = 42 Idle; srand((T + 1) / 8): 2645 10773: step 4 (2645 % 5 = 0)
//     down and right to (304, 204), swim sound 10773 % 3 + 1 = 1: "jelly01.wav".
TEST_F(JellyStage, ThePinnedStartGivesTheDecisionsWorkedOutFromTheGenerator)
{
    Open({2026, 12, 8, 12, 0, 0});
    WriteJellyFile(TwoAdults());
    ASSERT_EQ(1, StartJellyfish());
    const int hidden[5][3] = {
        {164, 367, 228}, {34, 543, 512}, {164, 399, 539}, {29, 752, 253}, {108, 872, 152}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(hidden[k][0], Jelly[10 + k].Age) << k;
        EXPECT_EQ(hidden[k][1], Jelly[10 + k].X) << k;
        EXPECT_EQ(hidden[k][2], Jelly[10 + k].Y) << k;
    }

    struct Expected {
        int32_t actions[3];
        std::vector<Drawn> drawn;
    };
    const Expected ticks[6] = {
        {{Animate, Breed, Animate},
         {{"JELLY23_ICON", 100, 100}, {"JELLY29_ICON", 300, 200}, {"JELLY20_ICON", 22, 133}}},
        {{Animate, Animate, Animate},
         {{"JELLY03_ICON", 100, 100}, {"JELLY09_ICON", 300, 200}, {"JELLY00_ICON", 22, 133}}},
        {{Idle, Animate, Animate},
         {{"JELLY03_ICON", 100, 100}, {"JELLY29_ICON", 300, 200}, {"JELLY20_ICON", 22, 133}}},
        {{Animate, Swim, Idle},
         {{"JELLY23_ICON", 100, 100}, {"JELLY29_ICON", 304, 204}, {"JELLY20_ICON", 22, 133}}},
        {{Idle, Idle, Animate},
         {{"JELLY23_ICON", 100, 100}, {"JELLY29_ICON", 304, 204}, {"JELLY00_ICON", 22, 133}}},
        {{Animate, Swim, Idle},
         {{"JELLY03_ICON", 100, 100}, {"JELLY29_ICON", 310, 210}, {"JELLY00_ICON", 22, 133}}},
    };
    const sim::Millis start = desktop().Now();
    Icons(desktop(), Window());
    for (int t = 0; t < 6; ++t) {
        Tick();
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(ticks[t].actions[s], Jelly[s].Action) << "tick " << t + 1 << " slot " << s;
        for (int s = 10; s < 15; ++s)
            EXPECT_EQ(Idle, Jelly[s].Action) << "tick " << t + 1 << " slot " << s;
        EXPECT_EQ(ticks[t].drawn, Icons(desktop(), Window())) << "tick " << t + 1;
    }
    EXPECT_EQ(3, Jelly[1].Direction);
    EXPECT_EQ(5, Jelly[2].Age) << "born on the first tick";
    EXPECT_EQ(0, Jelly[2].Type);
    EXPECT_EQ(13, SrandCount) << "the decision and the drawing each count one a tick";

    std::vector<std::pair<std::string, sim::Millis>> sounds;
    for (const auto &sound : desktop().Sounds())
        sounds.emplace_back(sound.name, sound.time - start);
    EXPECT_EQ((std::vector<std::pair<std::string, sim::Millis>>{
                  {"jellybb.wav", 600}, {"jelly01.wav", 1200}, {"jelly02.wav", 1800}}),
              sounds);
}

TEST_F(JellyStage, YoungOnesComeOfAgeByTheirSlotAt700)
{
    Open();
    std::string text;
    for (int number = 1; number <= 10; ++number)
        text += JellyLines(number, 1, (number - 1) % 2, 0, 699, 30 * number, 300, 0);
    WriteJellyFile(text);
    StartJellyfish();
    const sim::Millis tick = desktop().Now() + 300;
    Tick();
    const int expected[10] = {2, 3, 4, 5, 6, 7, 8, 9, 2, 3};
    for (int s = 0; s < 10; ++s)
        EXPECT_EQ(expected[s], Jelly[s].Type) << s;
    // Each coming of age waits 50 ms after its sound. (The ten waits hold the tick so long that
    // the next tick is already due when it ends, as on Windows.)
    std::vector<sim::Millis> adult;
    for (const auto &sound : desktop().Sounds())
        if (sound.name == "jadult.wav") adult.push_back(sound.time - tick);
    EXPECT_EQ((std::vector<sim::Millis>{0, 50, 100, 150, 200, 250, 300, 350, 400, 450}), adult);
}

TEST_F(JellyStage, AJellyfishDiesTheTickAfterItsLifeSpanAndVanishesTheTickAfterThat)
{
    Open();
    // Type 3 lives 4200 ticks; at 4199 its next decision still draws from its row.
    WriteJellyFile(JellyLines(1, 1, 3, 0, 4199, 500, 400, 0) +
                   JellyLines(2, 1, 2, 0, 1000, 100, 100, 0));
    StartJellyfish();
    Tick();
    EXPECT_EQ(4200, Jelly[0].Age);
    EXPECT_NE(Die, Jelly[0].Action);
    Icons(desktop(), Window());
    Tick();
    EXPECT_EQ(4201, Jelly[0].Age);
    EXPECT_EQ(Die, Jelly[0].Action);
    EXPECT_EQ(Dying, Jelly[0].Event);
    auto icons = Icons(desktop(), Window());
    EXPECT_NE(icons.end(), std::find(icons.begin(), icons.end(), Drawn{"JEND_ICON", 500, 400}));
    Tick();
    EXPECT_EQ(Vanish, Jelly[0].Action);
    EXPECT_EQ(4201, Jelly[0].Age) << "an event's tick does not age";
    EXPECT_EQ(0, Jelly[0].Exist);
    icons = Icons(desktop(), Window());
    EXPECT_NE(icons.end(), std::find(icons.begin(), icons.end(), Drawn{"JDUMMY_ICON", 500, 400}));
    EXPECT_EQ(0, desktop().Pixel(Window(), 510, 410)) << "the black square covers it";
    EXPECT_TRUE(Running()) << "slot 1 lives on";
}

TEST_F(JellyStage, BreedingIsDecidedOnlyAtTheExactBreedingAges)
{
    Open();
    // Ten adults of a long life, two ticks before each breeding age and in between.
    const int ages[10] = {1398, 2198, 2998, 1399, 2199, 2999, 1500, 1397, 2197, 2997};
    std::string text;
    for (int number = 1; number <= 10; ++number)
        text += JellyLines(number, 1, 2, 0, ages[number - 1], 60 * number, 300, 0);
    WriteJellyFile(text);
    StartJellyfish();
    int breeds = 0;
    for (int t = 0; t < 40; ++t) {
        Tick();
        for (int s = 0; s < 10; ++s) {
            if (Jelly[s].Action != Breed) continue;
            ++breeds;
            int age = Jelly[s].Age;
            EXPECT_TRUE(age == 1400 || age == 2200 || age == 3000) << "slot " << s << " " << age;
        }
    }
    EXPECT_GT(breeds, 0);
    EXPECT_EQ(10, JellyExsit()) << "with all ten alive a breed creates nobody";

    // An adult that jumps past 1400 by a click never breeds at that age.
    Open();
    WriteJellyFile(JellyLines(1, 1, 2, 0, 1380, 300, 300, 0));
    StartJellyfish();
    OnProgram([] { Click(0); });
    Tick();
    EXPECT_EQ(1421, Jelly[0].Age);
    EXPECT_TRUE(Jelly[0].Action == Change || Jelly[0].Action == Dash);
}

TEST_F(JellyStage, TheTenthClickOnlyChangesOrDashesWhileLaterOnesMayAlsoBreedOrKill)
{
    Open();
    WriteJellyFile(JellyFileOf(10, 2, 1000, 9));
    StartJellyfish();
    // Only a slot without a pending event takes the click at its next decision.
    std::vector<int> clicked;
    auto clickAll = [this, &clicked] {
        clicked.clear();
        OnProgram([&clicked] {
            for (int s = 0; s < 10; ++s) {
                if (Jelly[s].Exist == 0 || Jelly[s].Event != NoEvent) continue;
                Click(s);
                clicked.push_back(s);
            }
        });
    };
    clickAll();
    Tick();
    for (int s = 0; s < 10; ++s) {
        EXPECT_EQ(10, Jelly[s].ClickCount) << s;
        EXPECT_EQ(1041, Jelly[s].Age) << "one tick and the click's 40";
        EXPECT_TRUE(Jelly[s].Action == Change || Jelly[s].Action == Dash) << s;
    }
    std::set<int32_t> later;
    for (int round = 0; round < 12; ++round) {
        Ticks(5); // past any change animation
        clickAll();
        Tick();
        for (int s : clicked)
            later.insert(Jelly[s].Action);
    }
    EXPECT_TRUE(later.count(Breed) || later.count(Die)) << "from the 11th click on";
    for (int32_t action : later)
        EXPECT_TRUE(action == Change || action == Dash || action == Breed || action == Die)
            << action;
}

TEST_F(JellyStage, AChangeShowsForFourTicksWithoutAgeingAndDropsClicks)
{
    Open();
    WriteJellyFile(JellyLines(1, 1, 4, 0, 1000, 400, 300, 0));
    StartJellyfish();
    // Click until a click yields Change.
    int t = 0;
    for (; t < 40; ++t) {
        Ticks(5);
        OnProgram([] { Click(0); });
        Icons(desktop(), Window());
        NewSounds();
        Tick();
        if (Jelly[0].Action == Change) break;
    }
    ASSERT_LT(t, 40) << "no click gave Change";
    auto sounds = NewSounds();
    EXPECT_NE(sounds.end(), std::find(sounds.begin(), sounds.end(), "jchange.wav"));
    const int age = Jelly[0].Age;
    const int x = Jelly[0].X, y = Jelly[0].Y;
    EXPECT_EQ((std::vector<Drawn>{{"JCHANGE_ICON", x, y}}), Icons(desktop(), Window()));
    for (int i = 0; i < 3; ++i) {
        OnProgram([] { Click(0); });
        Tick();
        EXPECT_EQ(Change, Jelly[0].Action) << i;
        EXPECT_EQ(0, Jelly[0].Clicked) << "dropped";
        EXPECT_EQ((std::vector<Drawn>{{"JCHANGE_ICON", x, y}}), Icons(desktop(), Window()));
    }
    Tick();
    EXPECT_EQ(Animate, Jelly[0].Action);
    EXPECT_EQ(0, Jelly[0].Countdown);
    EXPECT_EQ(age, Jelly[0].Age) << "no ageing during the four ticks";
    auto icons = Icons(desktop(), Window());
    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ(0u, std::get<0>(icons[0]).rfind("JELLY", 0));
}

TEST_F(JellyStage, AHiddenCharacterShowsWhenClickedUpToThreeTimesThenMovesAndMayBreed)
{
    Open();
    WriteJellyFile(JellyLines(1, 1, 2, 0, 1000, 100, 100, 0));
    StartJellyfish();
    Tick();
    NewSounds();
    const int x = Jelly[12].X, y = Jelly[12].Y;
    for (int show = 1; show <= 3; ++show) {
        OnProgram([] { Click(12); });
        Icons(desktop(), Window());
        Tick();
        EXPECT_EQ(Reveal, Jelly[12].Action);
        EXPECT_EQ(show, Jelly[12].ClickCount);
        auto icons = Icons(desktop(), Window());
        EXPECT_NE(icons.end(), std::find(icons.begin(), icons.end(),
                                         Drawn{"JHIDE2_ICON", x, y})); // the 8th: 8 % 4 = 0
        Tick();
        EXPECT_EQ(Vanish, Jelly[12].Action);
        EXPECT_EQ(1, Jelly[12].Exist) << "a hidden character never dies";
    }
    auto sounds = NewSounds();
    EXPECT_EQ(3, std::count(sounds.begin(), sounds.end(), "jhide.wav"));
    // A fourth click keeps the previous tick's action; the next tick it moves.
    OnProgram([] { Click(12); });
    Tick();
    EXPECT_EQ(Vanish, Jelly[12].Action);
    EXPECT_EQ(3, Jelly[12].ClickCount);
    Tick();
    EXPECT_EQ(0, Jelly[12].ClickCount);
    EXPECT_TRUE(Jelly[12].X != x || Jelly[12].Y != y);
    EXPECT_TRUE(Jelly[12].Action == Breed || Jelly[12].Action == Idle);

    // Round after round, one of its moves breeds into the first free ordinary slot.
    bool bred = false;
    for (int round = 0; round < 60 && !bred; ++round) {
        for (int show = 0; show < 4; ++show) {
            OnProgram([] { Click(12); });
            Ticks(2);
        }
        bred = Jelly[12].Action == Breed;
    }
    ASSERT_TRUE(bred);
    EXPECT_EQ(1, Jelly[1].Exist);
    EXPECT_EQ(1, Jelly[1].Type);
}

TEST_F(JellyStage, AHiddenCharacterSetUpAtAgeZeroGreetsLikeANewbornAndIsNotDrawn)
{
    Open();
    WriteJellyFile(JellyLines(1, 1, 2, 0, 1000, 100, 100, 0));
    StartJellyfish();
    OnProgram([] { Jelly[14].Age = 0; });
    NewSounds();
    Icons(desktop(), Window());
    Tick();
    EXPECT_EQ(Animate, Jelly[14].Action);
    EXPECT_EQ(1, Jelly[14].Frame) << "its state changes as for anybody";
    auto sounds = NewSounds();
    EXPECT_NE(sounds.end(), std::find(sounds.begin(), sounds.end(), "jellybb.wav"));
    for (const Drawn &icon : Icons(desktop(), Window()))
        EXPECT_EQ(100, std::get<1>(icon)) << "only slot 0 is drawn, not " << std::get<0>(icon);
}
