// Resident cost: the work of one scheduler tick with every group counting, and a day of the
// whole program on the virtual clock (time signal and birds on), with the memory it holds
// afterwards. Built with -DZELMO_BENCHMARKS=ON; run by hand: build/sim/benchmarks/resident_bench
#include "program.h"

#include "app/main.h"
#include "app/sound.h"

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
    for (auto _ : state) {
        TimerCountUp();
        ZelmoCheckTimer();
    }
}
BENCHMARK(SchedulerTick);

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
