// A month resident on the virtual clock. Every group with sound files plays at its fastest
// class (every 3 to 6 seconds), the time signal shows every hour with its character, and every
// hour the user starts the jellyfish from the tray menu and ends them with a right click and
// Yes, and opens and closes the two sound settings dialogs and the About box from the tray menu.
// What the program holds of the system (device contexts, icons, fonts, brushes, menus, files,
// find handles, timers, windows, tools, link objects) and of the heap is the same after the
// last day as after the first.
#include "benchmarks/allocations.h"
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "jelly/population.h"
#include "resources/resource.h"

#include <sstream>

using namespace zelmo_test;

namespace
{

// Under the sanitizers every step costs several times as much: a shorter month, which still
// compares the last day with the first.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Days = 4;
#else
constexpr int Days = 30;
#endif
constexpr int Width = 1024, Height = 768;
// The sounds of the time signal's characters and of the jellyfish.
constexpr const char *OtherSounds[] = {
    "alarm99.wav", "bell.wav",    "monster1.wav", "monster2.wav", "snowman.wav",
    "star1.wav",   "star2.wav",   "tree1.wav",    "tree2.wav",    "jellybb.wav",
    "jhide.wav",   "jchange.wav", "jadult.wav",   "jellyend.wav", "jelly01.wav",
    "jelly02.wav", "jelly03.wav", "jelly04.wav",  "jelly05.wav",  "jelly06.wav"};

// What the program holds at one moment.
struct Holdings {
    int deviceContexts, icons, fonts, brushes, menus, files, searches, timers, windows, strayTools,
        linkObjects;
    int64_t heapBlocks;
    bool operator==(const Holdings &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Holdings &h)
{
    return out << "device contexts " << h.deviceContexts << ", icons " << h.icons << ", fonts "
               << h.fonts << ", brushes " << h.brushes << ", menus " << h.menus << ", files "
               << h.files << ", find handles " << h.searches << ", timers " << h.timers
               << ", windows " << h.windows << ", stray tools " << h.strayTools << ", link objects "
               << h.linkObjects << ", heap blocks " << h.heapBlocks;
}

Holdings HeldBy(sim::Desktop &desktop)
{
    // The tools the control holds beyond those the slots know they added. Living jellyfish
    // keep theirs while the window is hidden, so the number of tools follows the population.
    int strayTools = 0;
    for (const sim::ToolTipInfo &tip : desktop.ToolTips())
        strayTools += tip.tools;
    for (int s = 0; s < OrdinaryCount; ++s)
        strayTools -= Jelly[s].ToolAdded;
    return Holdings{desktop.OpenDeviceContexts(),
                    desktop.OpenIcons(),
                    desktop.OpenFonts(),
                    desktop.OpenBrushes(),
                    desktop.OpenMenus(),
                    desktop.OpenFiles(),
                    desktop.OpenSearches(),
                    desktop.ActiveTimers(),
                    static_cast<int>(desktop.Windows().size()),
                    strayTools,
                    desktop.LiveComObjects(),
                    zelmo_bench::ProgramBlocksOutstanding()};
}

std::string EveryGroupFastestWithTheCharacter()
{
    std::string text;
    for (int i = 0; i < InCount; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "IDC_SOUND%02d=1\r\nIDCB_SOUND%02d=0\r\n", i + 1, i + 1);
        text += line;
    }
    return text + "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=1\r\n";
}

class Month : public ::testing::Test
{
  protected:
    Month() : program({2026, 12, 1, 0, 0, 30})
    {
        for (const char *prefix : WaveFile)
            if (prefix[0] != '\0') program.AddSounds(prefix, 4);
        for (const char *name : OtherSounds)
            program.WriteProgramFile(name, WaveBytes());
        program.WriteProgramFile("ZelmoSound.INI", EveryGroupFastestWithTheCharacter());
        program.Start();
    }
    sim::Desktop &desktop() { return program.desktop(); }

    // A point of the screen that no jellyfish's or hidden character's square covers, above the
    // tray's row at the bottom of the screen (the tray lies above the jelly window).
    static POINT FreePoint()
    {
        for (int y = Height - 28; y > 0; y -= 40)
            for (int x = Width - 8; x > 0; x -= 40) {
                bool covered = false;
                for (int s = 0; s < FirstHidden + MaxHideCount; ++s)
                    covered |= Jelly[s].Exist != 0 && Jelly[s].X <= x &&
                               x <= Jelly[s].X + JellySize && Jelly[s].Y <= y &&
                               y <= Jelly[s].Y + JellySize;
                if (!covered) return POINT{x, y};
            }
        ADD_FAILURE() << "the jellyfish cover the whole screen";
        return POINT{0, 0};
    }

    // Started from the tray, a minute of swimming, then ended as the user ends them; or, when
    // nobody was left, the message about it answered.
    void JellyfishForAMinute()
    {
        program.ChooseFromTray(IDM_JELLY);
        if (!desktop().OpenMessageBoxes().empty()) desktop().AnswerMessageBox(IDOK); // the hint
        ASSERT_EQ(1, ZelmoJelly);
        program.Advance(60 * 1000);
        if (!desktop().OpenMessageBoxes().empty()) {
            desktop().AnswerMessageBox(IDOK); // nobody left
            ++nobodyLeft;
        } else {
            POINT free = FreePoint();
            desktop().RightClick(free.x, free.y);
            desktop().AnswerMessageBox(IDYES);
        }
        ASSERT_EQ(0, ZelmoJelly);
        ASSERT_TRUE(desktop().OpenMessageBoxes().empty());
    }

    // Opened from the tray menu, left open a few seconds while the groups play on, then closed
    // with the button given.
    void DialogForAFewSeconds(int command, const char *templateName, int button)
    {
        HWND dialog = program.OpenFromTray(command, templateName);
        ASSERT_TRUE(dialog) << "at " << sim::FormatTime(desktop().Now());
        program.Advance(5000);
        desktop().Click(dialog, button);
        ASSERT_FALSE(desktop().Dialog(templateName));
    }

    // One hour from hh:00:30: the signal came at hh:00, the jellyfish at hh:10, the dialogs at
    // hh:20. The logs of the simulated desktop are emptied, so that a month fits in memory.
    void Hour()
    {
        const sim::Millis start = desktop().Now();
        ASSERT_EQ(30, desktop().LocalNow().second);
        program.Advance((10 * 60 - 30) * 1000);
        JellyfishForAMinute();
        program.Advance(start + 20 * 60 * 1000 - desktop().Now());
        DialogForAFewSeconds(IDM_SOUNDSETTINGS, "3", IDC_OK);
        DialogForAFewSeconds(IDM_OTHERSETTINGS, "4", IDC_CANCEL);
        DialogForAFewSeconds(IDM_ABOUT, "702", IDC_OK);
        program.Advance(start + 60 * 60 * 1000 - desktop().Now());
        for (const sim::SoundRecord &sound : desktop().Sounds())
            played += sound.played ? 1 : 0;
        signals += static_cast<int>(desktop().DrawLog(hwndSignal).size() > 0);
        desktop().ClearSounds();
        desktop().ClearDrawLog();
    }

    Program program;
    int64_t played = 0;
    int signals = 0;
    int nobodyLeft = 0;
};

} // namespace

TEST_F(Month, WhatTheProgramHoldsAfterTheLastDayIsWhatItHeldAfterTheFirst)
{
    for (int hour = 0; hour < 24; ++hour)
        Hour();
    const Holdings firstDay = HeldBy(desktop());
    for (int hour = 24; hour < Days * 24; ++hour) {
        Hour();
        if (HasFatalFailure()) return;
    }
    const Holdings lastDay = HeldBy(desktop());
    std::cout << "after day 1: " << firstDay << "\nafter day " << Days << ": " << lastDay << "\n"
              << played << " sounds played, " << signals << " time signals, " << nobodyLeft
              << " times nobody was left\n";
    EXPECT_EQ(firstDay, lastDay) << "after day 1: " << firstDay << "\nafter day " << Days << ": "
                                 << lastDay;

    EXPECT_TRUE(program.Running());
    EXPECT_EQ(Days * 24, signals) << "a time signal every hour";
    // Fourteen groups every 3 to 6 seconds: about 11,000 sounds an hour, held back only while
    // the jellyfish run and around the full hour.
    EXPECT_GT(played, int64_t{Days} * 24 * 9000);
    EXPECT_TRUE(program.ReadProgramFile("Jelly.INI"));
}
