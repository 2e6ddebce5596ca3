// The counting operator new and delete of allocations.h. Every form that takes memory from the
// heap without extra alignment is replaced, and so is every matching delete: memory taken with
// malloc here must go back with free, also under AddressSanitizer, which checks that the two
// sides match. Each block has a header in front of it that says whether the program's code
// took it, so that its release counts it back whoever releases it; the header keeps the
// alignment that malloc gives.
#include "benchmarks/allocations.h"

#include "platform/sim/codeowner.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace
{

// The program's thread and the caller's take turns (the desktop's baton), but they are still
// two threads: the counters are atomic.
std::atomic<bool> Counting{false};
std::atomic<int64_t> Count{0};
std::atomic<int64_t> Bytes{0};
std::atomic<int64_t> Outstanding{0};

struct alignas(std::max_align_t) BlockHeader {
    bool program; // taken by the program's code
};

void *Allocate(std::size_t size) noexcept
{
    const bool program = sim::RunningCode() == sim::CodeOwner::Program;
    if (program && Counting.load(std::memory_order_relaxed)) {
        Count.fetch_add(1, std::memory_order_relaxed);
        Bytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
    }
    auto *header = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + size));
    if (!header) return nullptr;
    header->program = program;
    if (program) Outstanding.fetch_add(1, std::memory_order_relaxed);
    return header + 1;
}

void Release(void *memory) noexcept
{
    if (!memory) return;
    BlockHeader *header = static_cast<BlockHeader *>(memory) - 1;
    if (header->program) Outstanding.fetch_sub(1, std::memory_order_relaxed);
    std::free(header);
}

void *AllocateOrThrow(std::size_t size)
{
    if (void *memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}

} // namespace

namespace zelmo_bench
{

void StartCountingAllocations()
{
    Count = 0;
    Bytes = 0;
    Counting = true;
}

Allocations StopCountingAllocations()
{
    Counting = false;
    return Allocations{Count.load(), Bytes.load()};
}

int64_t ProgramBlocksOutstanding()
{
    return Outstanding.load();
}

} // namespace zelmo_bench

void *operator new(std::size_t size)
{
    return AllocateOrThrow(size);
}
void *operator new[](std::size_t size)
{
    return AllocateOrThrow(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size);
}
void operator delete(void *memory) noexcept
{
    Release(memory);
}
void operator delete[](void *memory) noexcept
{
    Release(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    Release(memory);
}
void operator delete[](void *memory, std::size_t) noexcept
{
    Release(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept
{
    Release(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept
{
    Release(memory);
}
