// The sound groups and the once-a-second scheduler, on the virtual clock.
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/random.h"
#include "ground/sound.h"
#include "resources/resource.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

using namespace zelmo_test;

namespace
{

// A settings file with the given groups switched on in the given classes.
std::string SettingsWith(std::map<int, int> groupClass, int signal = 0, int kind = 0)
{
    std::string text;
    for (int i = 0; i < InCount; ++i) {
        bool on = groupClass.count(i) != 0;
        text += "IDC_SOUND" + std::string(i + 1 < 10 ? "0" : "") + std::to_string(i + 1) + "=" +
                (on ? "1" : "0") + "\r\n";
        text += "IDCB_SOUND" + std::string(i + 1 < 10 ? "0" : "") + std::to_string(i + 1) + "=" +
                std::to_string(on ? groupClass[i] : 0) + "\r\n";
    }
    text += "IDC_TSIGNAL=" + std::to_string(signal) + "\r\nIDCB_TSIGNAL=" + std::to_string(kind) +
            "\r\n";
    return text;
}

} // namespace

TEST(Generator, KnownSeedGivesKnownSequence)
{
    Prng::srand(1);
    EXPECT_EQ(346, Prng::rand());
    EXPECT_EQ(130, Prng::rand());
    EXPECT_EQ(10982, Prng::rand());
    EXPECT_EQ(1090, Prng::rand());
    Prng::srand(12345);
    EXPECT_EQ(15301, Prng::rand());
    EXPECT_EQ(24996, Prng::rand());
    EXPECT_EQ(10921, Prng::rand());
}

TEST(Generator, EachIntervalClassStaysInItsRange)
{
    struct Range {
        int32_t cls, low, high;
    };
    const Range ranges[] = {{0, 3, 6},   {1, 4, 10},   {2, 6, 20},   {3, 10, 30},
                            {4, 20, 60}, {5, 30, 180}, {6, 60, 300}, {7, 1800, 3600},
                            {8, 3, 9},   {-48, 3, 9},  {42, 3, 9}};
    Prng::srand(987654321);
    for (const Range &range : ranges) {
        std::set<int32_t> seen;
        for (int draw = 0; draw < 20000; ++draw) {
            SoundGroup group{};
            group.IntervalClass = range.cls;
            int32_t target = DrawInterval(group);
            ASSERT_GE(target, range.low) << "class " << range.cls;
            ASSERT_LE(target, range.high) << "class " << range.cls;
            // A class outside 0..7 goes back to 0 after its draw.
            EXPECT_EQ(range.cls >= 0 && range.cls <= 7 ? range.cls : 0, group.IntervalClass);
            seen.insert(target);
        }
        // Both ends of every range are reachable.
        EXPECT_TRUE(seen.count(range.low) && seen.count(range.high)) << "class " << range.cls;
    }
}

TEST(Scheduler, BirdsOnClassZeroPlayEveryThreeToSixSecondsFromAllFourFiles)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}));
    sim::Millis start = program.desktop().Now();
    program.Start();
    program.Advance(10 * 60 * 1000);

    auto sounds = program.Sounds();
    ASSERT_GT(sounds.size(), 90u);
    std::set<std::string> files;
    std::set<double> gaps;
    double previous = 0;
    for (double t : SecondsSince(sounds, start)) {
        gaps.insert(t - previous);
        previous = t;
    }
    for (const auto &s : sounds) {
        files.insert(s.name);
        EXPECT_EQ(static_cast<DWORD>(SND_ASYNC | SND_NODEFAULT | SND_FILENAME), s.flags);
        EXPECT_TRUE(s.played);
    }
    EXPECT_EQ((std::set<std::string>{"bird00.wav", "bird01.wav", "bird02.wav", "bird03.wav"}),
              files);
    // The first sound comes one interval after start, on a whole tick; so does every next one.
    EXPECT_EQ((std::set<double>{3, 4, 5, 6}), gaps);
}

TEST(Scheduler, TwoGroupsDueInOneTickAreRequestedInGroupOrderAndTheLaterCutsOffTheEarlier)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("crickt", 4);
    program.AddSounds("myst", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{0, 0}, {13, 1}}));
    program.Start();
    program.Advance(60 * 60 * 1000);

    auto sounds = program.Sounds();
    int together = 0;
    for (size_t i = 1; i < sounds.size(); ++i) {
        if (sounds[i].time != sounds[i - 1].time) continue;
        ++together;
        EXPECT_EQ(0u, sounds[i - 1].name.rfind("crickt", 0));
        EXPECT_EQ(0u, sounds[i].name.rfind("myst", 0));
        EXPECT_EQ(sounds[i].time, sounds[i - 1].cutOffAt);
    }
    EXPECT_GT(together, 0);
}

TEST(Scheduler, PauseAndResumeContinueTheCountedSeconds)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}));
    program.Start();
    // Class 0 plays within six seconds.
    for (int second = 0; second < 10 && program.Sounds().empty(); ++second)
        program.Advance(1000);
    ASSERT_FALSE(program.Sounds().empty());
    sim::Millis lastPlay = program.Sounds().back().time;
    // Half a second after the next tick, pause.
    program.Advance(lastPlay + 1500 - program.desktop().Now());
    program.ChooseFromTray(IDM_PAUSE);
    SoundGroup before = In[1];
    ASSERT_EQ(1, before.Elapsed);
    size_t heard = program.Sounds().size();

    program.Advance(100 * 1000);
    EXPECT_EQ(heard, program.Sounds().size()) << "nothing plays while paused";
    EXPECT_EQ(before.Elapsed, In[1].Elapsed);
    EXPECT_EQ(before.Target, In[1].Target);

    program.ChooseFromTray(IDM_PAUSE);
    program.Advance(10 * 1000);
    ASSERT_GT(program.Sounds().size(), heard);
    EXPECT_EQ(lastPlay + (100 + before.Target) * 1000, program.Sounds()[heard].time);
}

TEST(Scheduler, AddDeleteAndJellyfishSuspendCountingButSettingsAndAboutDoNot)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}));
    program.Start();
    program.Advance(3500);
    sim::Desktop &desktop = program.desktop();
    struct Dialog {
        int command;
        const char *templateName;
    };

    // The birds heard so far (the jellyfish have sounds of their own).
    auto birds = [&] {
        return std::ranges::count_if(program.Sounds(), [](const sim::SoundRecord &sound) {
            return sound.name.find("bird") != std::string::npos;
        });
    };
    // Nothing is counted or played from `hold` to `release`; afterwards counting goes on.
    auto expectSuspended = [&](const std::function<void()> &hold,
                               const std::function<void()> &release) {
        SoundGroup before = In[1];
        const auto heard = birds();
        hold();
        program.Advance(30 * 1000);
        EXPECT_EQ(heard, birds());
        EXPECT_EQ(before.Elapsed, In[1].Elapsed);
        release();
        program.Advance(7 * 1000);
        EXPECT_GT(birds(), heard);
    };
    for (const Dialog &dialog : {Dialog{IDM_REGISTWAVE, "6"}, Dialog{IDM_DELETEWAVE, "7"}}) {
        SCOPED_TRACE(dialog.templateName);
        HWND open = nullptr;
        expectSuspended([&] { open = program.OpenFromTray(dialog.command, dialog.templateName); },
                        [&] { desktop.PressCloseBox(open); });
    }
    // The jellyfish, started from the tray (the first-run hint answered) and ended with a right
    // click and Yes.
    expectSuspended(
        [&] {
            program.ChooseFromTray(IDM_JELLY);
            desktop.AnswerMessageBox(IDOK);
            ASSERT_EQ(1, ZelmoJelly);
        },
        [&] {
            desktop.RightClick(900, 700);
            desktop.AnswerMessageBox(IDYES);
            ASSERT_EQ(0, ZelmoJelly);
        });

    for (const Dialog &dialog : {Dialog{IDM_SOUNDSETTINGS, "3"}, Dialog{IDM_OTHERSETTINGS, "4"},
                                 Dialog{IDM_ABOUT, "702"}}) {
        SCOPED_TRACE(dialog.templateName);
        size_t heard = program.Sounds().size();
        HWND open = program.OpenFromTray(dialog.command, dialog.templateName);
        ASSERT_TRUE(open);
        program.Advance(30 * 1000);
        EXPECT_GE(program.Sounds().size(), heard + 5);
        desktop.PressCloseBox(open);
    }
}

TEST(Scheduler, WithTheTimeSignalOnSoundsDueAroundTheFullHourAreSkippedNotPostponed)
{
    Program program({2026, 12, 8, 18, 59, 30});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}, 1, 0));
    program.Start();

    const sim::Millis quietFrom = sim::ToMillis({2026, 12, 8, 18, 59, 57});
    const sim::Millis quietTo = sim::ToMillis({2026, 12, 8, 19, 0, 3});
    int skipped = 0;
    auto birds = [&] {
        auto names = program.SoundNames();
        return std::count_if(names.begin(), names.end(),
                             [](const std::string &n) { return n.rfind("bird", 0) == 0; });
    };
    while (program.desktop().Now() < sim::ToMillis({2026, 12, 8, 19, 0, 20})) {
        SoundGroup before = In[1];
        auto heard = birds();
        program.Advance(1000);
        sim::Millis now = program.desktop().Now();
        bool due = before.Elapsed + 1 >= before.Target;
        bool played = birds() > heard;
        if (now >= quietFrom && now <= quietTo) {
            EXPECT_FALSE(played) << sim::FormatTime(now);
            if (due) {
                // The turn is used up: counters reset and a new interval drawn.
                ++skipped;
                EXPECT_EQ(0, In[1].Elapsed);
                EXPECT_GE(In[1].Target, 3);
            }
        } else {
            EXPECT_EQ(due, played) << sim::FormatTime(now);
        }
    }
    EXPECT_GT(skipped, 0);
}

TEST(Scheduler, WithTheTimeSignalOffSoundsPlayAroundTheFullHour)
{
    Program program({2026, 12, 8, 18, 59, 50});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}, 0, 0));
    program.Start();
    program.Advance(20 * 1000);
    auto in = [&](const sim::SoundRecord &s) {
        return s.time >= sim::ToMillis({2026, 12, 8, 18, 59, 57}) &&
               s.time <= sim::ToMillis({2026, 12, 8, 19, 0, 3});
    };
    auto sounds = program.Sounds();
    EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(), in));
}

TEST(Scheduler, GroupsWithoutFilesNeverPlayOrCount)
{
    Program program({2026, 12, 8, 10, 0, 0});
    // Group 7 has no prefix; the water group has no files; a stray file matches no group.
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{7, 0}, {2, 0}, {17, 0}}));
    program.WriteProgramFile("user2-00.wav", WaveBytes());
    program.Start();
    program.Advance(60 * 1000);
    EXPECT_TRUE(program.Sounds().empty());
    for (int group : {7, 2, 17}) {
        EXPECT_EQ(0, In[group].Present);
        EXPECT_EQ(0, In[group].Elapsed);
    }
    EXPECT_EQ(1, In[18].FileCount);
}

TEST(Scheduler, AnExtraUnnumberedFileMakesSomeTurnsSilent)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("BIRD_old.WAV", WaveBytes());
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 0}}));
    program.Start();
    EXPECT_EQ(5, In[1].FileCount);
    program.Advance(5 * 60 * 1000);
    std::set<std::string> names;
    int silent = 0;
    for (const auto &s : program.Sounds()) {
        names.insert(s.name);
        if (s.name == "bird04.wav") {
            EXPECT_FALSE(s.played);
            ++silent;
        } else {
            EXPECT_TRUE(s.played);
        }
    }
    EXPECT_GT(silent, 0);
    EXPECT_EQ(5u, names.size());
}

TEST(Scheduler, AGroupSwitchedOffAndOnAgainCountsOnAndPlaysAtTheSecondTick)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{1, 7}}));
    program.Start();
    program.Advance(5500);
    ASSERT_EQ(5, In[1].Elapsed);
    ASSERT_GE(In[1].Target, 1800);

    // The birds switched off in the settings dialog, and later on again in class 0.
    sim::Desktop &desktop = program.desktop();
    HWND dialog = program.OpenFromTray(IDM_SOUNDSETTINGS, "3");
    ASSERT_TRUE(dialog);
    desktop.Click(dialog, IDC_SOUND02);
    desktop.Click(dialog, IDC_OK);
    program.Advance(20 * 1000);
    EXPECT_EQ(5, In[1].Elapsed);
    dialog = program.OpenFromTray(IDM_SOUNDSETTINGS, "3");
    ASSERT_TRUE(dialog);
    desktop.Click(dialog, IDC_SOUND02);
    desktop.Select(dialog, IDCB_SOUND02, 0);
    desktop.Click(dialog, IDC_OK);
    sim::Millis switchedOn = desktop.Now();

    program.Advance(1000);
    EXPECT_EQ(6, In[1].Elapsed);
    EXPECT_GE(In[1].Target, 3);
    EXPECT_LE(In[1].Target, 6);
    EXPECT_TRUE(program.Sounds().empty());
    program.Advance(1000);
    ASSERT_EQ(1u, program.Sounds().size());
    EXPECT_EQ(switchedOn + 1500, program.Sounds()[0].time);
}

TEST(Scheduler, FilesAreCountedAtStartOnlyAndLetterCaseIsIgnored)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("bird", 2);
    program.WriteProgramFile("Bird02.WAV", WaveBytes());
    program.WriteProgramFile("birdsong.txt", "not a sound");
    program.Start();
    EXPECT_EQ(3, In[1].FileCount);
    EXPECT_EQ(1, In[1].Present);
    program.AddSounds("water", 3);
    program.Advance(3000);
    EXPECT_EQ(0, In[2].FileCount);
    EXPECT_EQ(0, program.desktop().OpenHandles());
}

// The draws, computed by hand for a fixed clock. At 2026-12-08 10:00:00 local time (UTC+9) the
// calendar time is 1796691600 s. Seeded with it, the generator gives 18132 and 30881: the
// insects (class 0) wait 3 + 18132 % 4 = 3 s, the birds (class 3) 10 + 30881 % 21 = 21 s. At
// 10:00:21 the pass is seeded with 1796691621 and gives 25405 and 26353: bird 25405 % 4 = 1,
// then the next interval 10 + 26353 % 21 = 29 s. Each pass seeds anew, groups draw in order,
// and a due group draws its file before its interval.
TEST(Scheduler, EachPassSeedsFromTheCalendarSecondsAndDrawsTheFileBeforeTheInterval)
{
    Program program({2026, 12, 8, 10, 0, 0});
    program.AddSounds("crickt", 3);
    program.AddSounds("bird", 4);
    program.WriteProgramFile("ZelmoSound.INI", SettingsWith({{0, 0}, {1, 3}}));
    sim::Millis start = program.desktop().Now();
    program.Start();
    EXPECT_EQ(3, In[0].Target);
    EXPECT_EQ(21, In[1].Target);
    program.Advance(60 * 1000);

    const std::vector<std::pair<double, std::string>> expected = {
        {3, "crickt01.wav"},  {8, "crickt02.wav"},  {11, "crickt00.wav"}, {15, "crickt02.wav"},
        {20, "crickt02.wav"}, {21, "bird01.wav"},   {23, "crickt00.wav"}, {27, "crickt00.wav"},
        {33, "crickt01.wav"}, {37, "crickt01.wav"}, {42, "crickt01.wav"}, {45, "crickt00.wav"},
        {49, "crickt02.wav"}, {50, "bird00.wav"},   {54, "crickt00.wav"}, {57, "crickt01.wav"},
    };
    std::vector<std::pair<double, std::string>> heard;
    for (const auto &sound : program.Sounds())
        heard.emplace_back(static_cast<double>(sound.time - start) / 1000, sound.name);
    EXPECT_EQ(expected, heard);
    // At 10:00:50 (seed 1796691650: 2680, 20098) bird 2680 % 4 = 0 plays, then 10 + 20098 % 21.
    EXPECT_EQ(11, In[1].Target);
}

// With the time signal on, no sound starts from hh:59:57 to hh:00:03; each boundary second is
// hit on purpose, and a :57 of another minute is not held back.
TEST(Scheduler, SoundsAreHeldBackFromFiftySevenToThreeSecondsAroundTheFullHour)
{
    struct Case {
        int hour, minute, second, withSignal;
    };
    const Case cases[] = {
        {18, 59, 56, 1}, {18, 59, 57, 0}, {18, 59, 59, 0}, {19, 0, 0, 0},
        {19, 0, 3, 0},   {19, 0, 4, 1},   {19, 1, 2, 1},   {19, 30, 57, 1},
    };
    Program program({2026, 12, 8, 18, 59, 0});
    for (const Case &c : cases) {
        program.desktop().AdvanceTo({2026, 12, 8, c.hour, c.minute, c.second, 999});
        Tp[0] = 1;
        EXPECT_EQ(c.withSignal, SoundOK()) << sim::FormatTime(program.desktop().Now());
        Tp[0] = 0;
        EXPECT_EQ(1, SoundOK()) << sim::FormatTime(program.desktop().Now());
    }
}
