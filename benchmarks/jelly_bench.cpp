// The jellyfish's cost per tick with fifteen living slots (ten ordinary jellyfish, all alive, and
// the five hidden characters): CPU time of JellyCheck + JellyExecute, heap allocations made by
// the program's own code in a tick, and the pixels a tick touches.
//
// Allocations are counted by replacing the global operator new for this program. Only those
// made while the jelly code runs count, and none made inside a platform operation: the link
// wraps every operation a tick calls (GetDC, DrawIconEx, PlaySoundA, ... see CMakeLists.txt)
// so that the simulated desktop's own bookkeeping (its device context table, drawing and sound
// logs) is counted apart. wsprintfA is not wrapped (a variadic function cannot be forwarded);
// anything it allocated would count against the program.
//
// JellyTickAllocations also measures the wall time spent inside the platform operations, so the
// program's own share of a tick's time shows apart from the simulated desktop's drawing.
//
// The ticks run on the benchmark's thread while the stage program waits for messages; the
// platform operations of a tick need no program thread. Run: build/sim/benchmarks/jelly_bench
#include "jelly_stage.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <new>

namespace
{

bool Counting = false;
int PlatformDepth = 0;
int64_t ProgramAllocations = 0;
int64_t PlatformAllocations = 0;
// Time spent inside the platform operations while counting, to tell the program's own share.
std::chrono::steady_clock::duration PlatformTime{};
std::chrono::steady_clock::time_point PlatformEntered;

void CountAllocation()
{
    if (!Counting) return;
    if (PlatformDepth > 0)
        ++PlatformAllocations;
    else
        ++ProgramAllocations;
}

struct PlatformCall {
    PlatformCall()
    {
        if (PlatformDepth++ == 0 && Counting) PlatformEntered = std::chrono::steady_clock::now();
    }
    ~PlatformCall()
    {
        if (--PlatformDepth == 0 && Counting)
            PlatformTime += std::chrono::steady_clock::now() - PlatformEntered;
    }
};

} // namespace

// Not inlined, nor the deletes below: the compiler would otherwise pair malloc's memory with
// the delete operators, or the new operator's with free, and warn.
[[gnu::noinline]] void *operator new(std::size_t size)
{
    CountAllocation();
    if (void *memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void *memory) noexcept
{
    std::free(memory);
}

[[gnu::noinline]] void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

// Each platform operation of a tick, by its linker name: the wrapper marks the call and passes
// it on to the simulated desktop's own function.
#define ZELMO_WRAP(name, result, parameters, arguments)                                            \
    extern "C" result __real_##name parameters;                                                    \
    extern "C" result __wrap_##name parameters                                                     \
    {                                                                                              \
        PlatformCall call;                                                                         \
        return __real_##name arguments;                                                            \
    }
ZELMO_WRAP(_Z5GetDCP6HWND__, HDC, (HWND hwnd), (hwnd))
ZELMO_WRAP(_Z9ReleaseDCP6HWND__P5HDC__, int, (HWND hwnd, HDC dc), (hwnd, dc))
ZELMO_WRAP(_Z10DrawIconExP5HDC__iiP7HICON__iijP8HBRUSH__j, BOOL,
           (HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH brush, UINT flags),
           (dc, x, y, icon, cx, cy, step, brush, flags))
ZELMO_WRAP(_Z8FillRectP5HDC__PK4RECTP8HBRUSH__, int, (HDC dc, const RECT *rect, HBRUSH brush),
           (dc, rect, brush))
ZELMO_WRAP(_Z14GetStockObjecti, HGDIOBJ, (int object), (object))
ZELMO_WRAP(_Z10PlaySoundAPKcP11HINSTANCE__j, BOOL, (LPCSTR name, HMODULE module, DWORD flags),
           (name, module, flags))
ZELMO_WRAP(_Z5Sleepj, void, (DWORD milliseconds), (milliseconds))
ZELMO_WRAP(_Z16GetSystemMetricsi, int, (int index), (index))
ZELMO_WRAP(_Z23GetSystemTimeAsFileTimeP8FILETIME, void, (FILETIME * time), (time))

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
        desk.StopJellyfish();
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
    ProgramAllocations = PlatformAllocations = 0;
    PlatformTime = {};
    std::chrono::steady_clock::duration tickTime{};
    int64_t ticks = 0;
    for (auto _ : state) {
        bench.Refresh(state, ++ticks);
        Counting = true;
        auto started = std::chrono::steady_clock::now();
        bench.Tick();
        tickTime += std::chrono::steady_clock::now() - started;
        Counting = false;
    }
    auto perTick = [&](std::chrono::steady_clock::duration time) {
        return static_cast<double>(
                   std::chrono::duration_cast<std::chrono::nanoseconds>(time).count()) /
               static_cast<double>(ticks);
    };
    state.counters["program_ns_per_tick"] = perTick(tickTime - PlatformTime);
    state.counters["platform_ns_per_tick"] = perTick(PlatformTime);
    state.counters["program_allocations_per_tick"] =
        static_cast<double>(ProgramAllocations) / static_cast<double>(ticks);
    state.counters["platform_allocations_per_tick"] =
        static_cast<double>(PlatformAllocations) / static_cast<double>(ticks);
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
