// The paths that run again and again while the program stays resident for months take nothing
// from the heap: the scheduler's tick, with every group playing, the time signal's frames and
// the jellyfish's ticks.
// Only the program's own code is counted (benchmarks/allocations.h), not the simulated desktop's.
#include "benchmarks/allocations.h"
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "platform/sim/codeowner.h"
#include "resources/resource.h"
#include "tests/support/jelly_stage.h"

#include <string>

using namespace zelmo_test;
using zelmo_bench::Allocations;
using zelmo_bench::StartCountingAllocations;
using zelmo_bench::StopCountingAllocations;

namespace
{

int *volatile Kept = nullptr;

// Every group with files switched on in class 0, and the time signal as given.
std::string EveryGroupOn(int signal, int kind)
{
    std::string text;
    for (int i = 0; i < InCount; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "IDC_SOUND%02d=1\r\nIDCB_SOUND%02d=0\r\n", i + 1, i + 1);
        text += line;
    }
    return text + "IDC_TSIGNAL=" + std::to_string(signal) +
           "\r\nIDCB_TSIGNAL=" + std::to_string(kind) + "\r\n";
}

} // namespace

TEST(AllocationCounter, CountsOnlyWhatTheProgramsCodeAllocates)
{
    StartCountingAllocations();
    Kept = new int(1); // the test's own: not counted
    delete Kept;
    {
        sim::ProgramCode program;
        Kept = new int(2);
        delete Kept;
        {
            sim::PlatformCode platform; // a Windows operation called by the program
            Kept = new int(3);
            delete Kept;
        }
        Kept = new int[4];
        delete[] Kept;
    }
    Allocations counted = StopCountingAllocations();
    EXPECT_EQ(2, counted.count);
    EXPECT_EQ(static_cast<int64_t>(sizeof(int) * 5), counted.bytes);
}

TEST(AllocationCounter, AProgramsBlockIsOutstandingUntilAnyoneReleasesIt)
{
    const int64_t before = zelmo_bench::ProgramBlocksOutstanding();
    {
        sim::ProgramCode program;
        Kept = new int[3];
        {
            sim::PlatformCode platform;
            int *platforms = new int(1);
            EXPECT_EQ(before + 1, zelmo_bench::ProgramBlocksOutstanding());
            delete platforms;
        }
    }
    EXPECT_EQ(before + 1, zelmo_bench::ProgramBlocksOutstanding());
    delete[] Kept; // released by other code than the one that took it
    EXPECT_EQ(before, zelmo_bench::ProgramBlocksOutstanding());
}

TEST(Allocations, SchedulerTicksWithEveryGroupPlayingTakeNothingFromTheHeap)
{
    Program program({2026, 12, 8, 10, 0, 10});
    for (const char *prefix : WaveFile)
        if (prefix[0] != '\0') program.AddSounds(prefix, 3);
    program.WriteProgramFile("ZelmoSound.INI", EveryGroupOn(0, 0));
    program.Start();
    program.Advance(10 * 1000);
    size_t heard = program.Sounds().size();

    StartCountingAllocations();
    program.Advance(10 * 60 * 1000);
    Allocations counted = StopCountingAllocations();
    // Fourteen groups every 3 to 6 seconds: the playing path ran thousands of times.
    ASSERT_GT(program.Sounds().size(), heard + 1000);
    EXPECT_EQ(0, counted.count) << counted.bytes << " bytes in 600 ticks";
}

TEST(Allocations, TimeSignalFramesTakeNothingFromTheHeapInEitherKind)
{
    for (int kind : {0, 1}) {
        Program program({2026, 12, 8, 9, 59, 50});
        program.WriteProgramFile("ZelmoSound.INI", EveryGroupOn(1, kind));
        program.Start();

        StartCountingAllocations();
        // Two showings, the first of which loads the pictures and the font.
        program.desktop().AdvanceTo({2026, 12, 8, 11, 0, 5});
        Allocations counted = StopCountingAllocations();
        ASSERT_GE(program.Sounds().size(), kind == 0 ? 18u : 10u) << "both showings ran";
        EXPECT_EQ(0, counted.count) << "kind " << kind << ": " << counted.bytes << " bytes";
    }
}

TEST(Allocations, JellyTicksWithFifteenLivingSlotsTakeNothingFromTheHeap)
{
    JellyDesk desk;
    desk.Open({2026, 12, 8, 12, 0, 0});
    // Ten adults far from their breeding ages and life spans, and the five hidden characters.
    desk.WriteJellyFile(JellyFileOf(10, 2, 1000));
    desk.StartJellyfish();
    desk.Ticks(5);

    StartCountingAllocations();
    desk.Ticks(500);
    Allocations counted = StopCountingAllocations();
    ASSERT_TRUE(desk.Running());
    ASSERT_EQ(1, IsAll) << "all ten ordinary jellyfish lived through the ticks";
    EXPECT_EQ(0, counted.count) << counted.bytes << " bytes in 500 ticks";
}

TEST(Allocations, TheJellyWindowsTicksWithTheirToolTipsTakeNothingFromTheHeap)
{
    Program program({2026, 12, 8, 12, 0, 0});
    program.WriteProgramFile("Jelly.INI", JellyFileOf(10, 2, 1000));
    program.Start();
    program.desktop().RightClickTray();
    program.desktop().ChooseMenu(IDM_JELLY);
    program.Advance(1500);

    StartCountingAllocations();
    program.Advance(150 * 1000);
    Allocations counted = StopCountingAllocations();
    ASSERT_EQ(1, ZelmoJelly);
    ASSERT_EQ(1, IsAll);
    EXPECT_EQ(0, counted.count) << counted.bytes << " bytes in 500 ticks";
}
