// The counting operator new and delete of allocations.h. Every form that takes memory from the
// heap without extra alignment is replaced, and so is every matching delete: memory taken with
// malloc here must go back with free, also under AddressSanitizer, which checks that the two
// sides match.
#include "allocations.h"

#include "codeowner.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

// The program's thread and the caller's take turns (the desktop's baton), but they are still
// two threads: the counters are atomic.
std::atomic<bool> Counting{false};
std::atomic<int64_t> Count{0};
std::atomic<int64_t> Bytes{0};

void *Allocate(std::size_t size) noexcept
{
    if (Counting.load(std::memory_order_relaxed) && sim::RunningCode() == sim::CodeOwner::Program) {
        Count.fetch_add(1, std::memory_order_relaxed);
        Bytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
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
    std::free(memory);
}
void operator delete[](void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}
