// Resident cost: the work of one scheduler tick with every group counting, the heap allocations
// the program's own code makes per tick and per time-signal frame (allocations.h; the aim is
// none), and a day of the whole program on the virtual clock (time signal and birds on), with
// the memory it holds afterwards. Built with -DZELMO_BENCHMARKS=ON; run by hand or through
// scripts/bench.sh: build/sim/benchmarks/resident_bench
#include "benchmarks/allocations.h"
#include "tests/support/program.h"

#include "ground/globals.h"
#include "ground/sound.h"
#include "platform/sim/codeowner.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace
{

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void SchedulerTick(benchmark::State &state)
{
    zelmo_test::Program program({2026, 12, 8, 12, 0, 0});
    hInst = reinterpret_cast<HINSTANCE>(0x400000);
    // Every group active and counting toward an interval that never ends within the run.
    for (SoundGroup &group : In)
        group = SoundGroup{1, 1, 4, 7, 1 << 30, 0};
    zelmo_bench::StartCountingAllocations();
    {
        sim::ProgramCode program;
        for (auto _ : state) {
            TimerCountUp();
            ZelmoCheckTimer();
        }
    }
    zelmo_bench::Allocations counted = zelmo_bench::StopCountingAllocations();
    state.counters["allocs_per_tick"] =
        benchmark::Counter(static_cast<double>(counted.count), benchmark::Counter::kAvgIterations);
}
BENCHMARK(SchedulerTick);

// An hour of the whole program with all fourteen groups playing every 3 to 6 seconds: the
// allocations of its ticks, through the message loop.
void PlayingTicks(benchmark::State &state)
{
    for (auto _ : state) {
        zelmo_test::Program program({2026, 12, 8, 12, 0, 0});
        std::string settings;
        for (int i = 0; i < InCount; ++i) {
            if (WaveFile[i][0] != '\0') program.AddSounds(WaveFile[i], 3);
            settings +=
                "IDC_SOUND" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1) + "=1\r\n";
        }
        program.WriteProgramFile("ZelmoSound.INI", settings);
        program.Start();
        zelmo_bench::StartCountingAllocations();
        program.Advance(60LL * 60 * 1000);
        zelmo_bench::Allocations counted = zelmo_bench::StopCountingAllocations();
        state.counters["allocs_per_tick"] = static_cast<double>(counted.count) / 3600;
        state.counters["sounds"] = static_cast<double>(program.Sounds().size());
    }
}
BENCHMARK(PlayingTicks)->Unit(benchmark::kMillisecond)->Iterations(1);

// A day of hourly time signals with a character: the allocations of its frames (nine a showing).
void TimeSignalFrames(benchmark::State &state)
{
    for (auto _ : state) {
        zelmo_test::Program program({2026, 12, 8, 0, 30, 0});
        program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND01=0\r\nIDC_TSIGNAL=1\r\n"
                                                   "IDCB_TSIGNAL=1\r\n");
        program.Start();
        zelmo_bench::StartCountingAllocations();
        program.Advance(24LL * 60 * 60 * 1000);
        zelmo_bench::Allocations counted = zelmo_bench::StopCountingAllocations();
        state.counters["allocs_per_frame"] = static_cast<double>(counted.count) / (24 * 9);
        state.counters["frames"] =
            static_cast<double>(program.desktop().DrawLog(hwndSignal).size()) / 2;
    }
}
BENCHMARK(TimeSignalFrames)->Unit(benchmark::kMillisecond)->Iterations(1);

void ADayResident(benchmark::State &state)
{
    for (auto _ : state) {
        zelmo_test::Program program({2026, 12, 8, 0, 0, 0});
        program.AddSounds("bird", 4);
        program.WriteProgramFile("ZelmoSound.INI", "IDC_SOUND02=1\r\nIDCB_SOUND02=4\r\n"
                                                   "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=1\r\n");
        program.Start();
        long before = ResidentKilobytes();
        program.Advance(24LL * 60 * 60 * 1000);
        state.counters["sounds"] = static_cast<double>(program.Sounds().size());
        state.counters["rss_growth_kB"] = static_cast<double>(ResidentKilobytes() - before);
        state.counters["open_handles"] =
            program.desktop().OpenHandles() + program.desktop().OpenIcons();
    }
}
BENCHMARK(ADayResident)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
