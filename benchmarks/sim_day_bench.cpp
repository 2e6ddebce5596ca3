// The simulated desktop's own speed: a whole day of ZelmoSound through the simulation runner, as
// month-long soaks and fuzzing runs drive it. The idle day has no group and no time signal (one
// tick a second and nothing else); the busy day plays birds every 6 to 20 seconds and insects
// every 10 to 30 seconds with the time signal and its character, from the generated sounds.
// The program runs on its own thread, so the figures are real time and the whole process's CPU
// time. Built with -DZELMO_BENCHMARKS=ON; run by hand: build/sim/benchmarks/sim_day_bench
#include "tools/simrunner/options.h"
#include "tools/simrunner/runner.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{

constexpr sim::Millis Day = 24LL * 60 * 60 * 1000;

// The settings of the busy day, as the README's example of the runner writes them.
constexpr char BusySettings[] =
    "IDC_SOUND01=1\r\nIDCB_SOUND01=3\r\nIDC_SOUND02=1\r\nIDCB_SOUND02=2\r\n"
    "IDC_TSIGNAL=1\r\nIDCB_TSIGNAL=1\r\n";

void RunDay(benchmark::State &state, const simrunner::Options &options)
{
    size_t lines = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        const int code = simrunner::Run(options, out, err);
        if (code != 0) {
            state.SkipWithError(("the run failed: " + err.str()).c_str());
            return;
        }
        const std::string log = out.str();
        lines = static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
    }
    state.counters["events"] = static_cast<double>(lines);
}

simrunner::Options DayFrom(sim::LocalTime start)
{
    simrunner::Options options;
    options.start = start;
    options.duration = Day;
    return options;
}

void IdleDay(benchmark::State &state)
{
    RunDay(state, DayFrom({2026, 12, 8, 12, 30, 0}));
}
BENCHMARK(IdleDay)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BusyDay(benchmark::State &state)
{
    const std::string settings = std::filesystem::temp_directory_path().string() +
                                 "/zelmo-sim-day-bench-" + std::to_string(getpid()) + ".ini";
    {
        std::ofstream file(settings, std::ios::binary);
        file << BusySettings;
    }
    simrunner::Options options = DayFrom({2026, 12, 8, 12, 30, 0});
    options.soundsFrom = ZELMO_SOUND_DIR;
    options.settings = settings;
    RunDay(state, options);
    std::error_code ignored;
    (void)std::filesystem::remove(settings, ignored);
}
BENCHMARK(BusyDay)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
