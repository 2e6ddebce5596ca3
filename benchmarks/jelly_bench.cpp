// The jellyfish's cost per tick with fifteen living slots (ten ordinary jellyfish, all alive, and
// the five hidden characters): CPU time of JellyCheck + JellyExecute, heap allocations made by
// the program's own code in a tick, and the pixels a tick touches.
//
// Allocations are counted by the allocation counter (allocations.h): only those the program's
// own code makes count, none made inside a platform operation (wsprintfA included), since the
// simulated desktop marks its own code. The ticks run on the benchmark's thread while the stage
// program waits for messages, so the benchmark marks them as the program's code itself.
// Built with -DZELMO_BENCHMARKS=ON; run: build/sim/benchmarks/jelly_bench
#include "benchmarks/allocations.h"
#include "platform/sim/codeowner.h"
#include "tests/support/jelly_stage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

namespace
{

// Ten adults of every kind, far from their breeding ages and life spans for the next thousand
// ticks, and the five hidden characters: fifteen living slots.
void FullPopulation()
{
    for (int s = 0; s < 10; ++s) {
        JellyRecord &j = Jelly[s];
        j = JellyRecord{};
        j.Exist = 1;
        j.Type = 2 + s % 8;
        j.Direction = s % 8;
        j.Age = 1000 + s;
        j.X = 100 + 80 * s;
        j.Y = 300 + 20 * (s % 4);
    }
    for (int s = 10; s < 15; ++s)
        Jelly[s].ClickCount = 0;
    (void)JellyExsit();
}

struct Bench {
    zelmo_test::JellyDesk desk;
    HWND hwnd = nullptr;

    Bench()
    {
        desk.Open({2026, 12, 8, 12, 0, 0});
        desk.StartJellyfish();
        desk.HoldTicks();
        hwnd = desk.Window();
        FullPopulation();
    }
    void Tick()
    {
        JellyCheck();
        JellyExecute(hwnd);
        (void)JellyExsit();
        if (SrandCount > 999) SrandCount = 1;
    }
    // Every thousand ticks the population is set back, so that fifteen slots always live.
    void Refresh(benchmark::State &state, int64_t tick)
    {
        if (tick % 1000 != 0) return;
        state.PauseTiming();
        FullPopulation();
        desk.desktop().ClearDrawLog();
        desk.desktop().ClearSounds();
        state.ResumeTiming();
    }
};

void JellyTickCpu(benchmark::State &state)
{
    Bench bench;
    int64_t tick = 0;
    for (auto _ : state) {
        bench.Refresh(state, ++tick);
        bench.Tick();
    }
    state.counters["living_slots"] = 15;
}
BENCHMARK(JellyTickCpu)->Unit(benchmark::kNanosecond);

void JellyTickAllocations(benchmark::State &state)
{
    Bench bench;
    int64_t ticks = 0;
    int64_t allocations = 0;
    for (auto _ : state) {
        bench.Refresh(state, ++ticks);
        zelmo_bench::StartCountingAllocations();
        {
            sim::ProgramCode program;
            bench.Tick();
        }
        allocations += zelmo_bench::StopCountingAllocations().count;
    }
    state.counters["program_allocations_per_tick"] =
        static_cast<double>(allocations) / static_cast<double>(ticks);
}
BENCHMARK(JellyTickAllocations)->Iterations(20000);

void JellyTickPixels(benchmark::State &state)
{
    Bench bench;
    int64_t ticks = 0, total = 0, busiest = 0;
    for (auto _ : state) {
        bench.Refresh(state, ++ticks);
        bench.Tick();
        int64_t pixels = bench.desk.PixelsTouched();
        total += pixels;
        busiest = std::max(busiest, pixels);
    }
    const auto screen = static_cast<double>(GetSystemMetrics(SM_CXSCREEN)) *
                        static_cast<double>(GetSystemMetrics(SM_CYSCREEN));
    state.counters["pixels_per_tick"] = static_cast<double>(total) / static_cast<double>(ticks);
    state.counters["pixels_busiest_tick"] = static_cast<double>(busiest);
    state.counters["busiest_share_of_screen"] = static_cast<double>(busiest) / screen;
}
BENCHMARK(JellyTickPixels)->Iterations(20000);

} // namespace

BENCHMARK_MAIN();
