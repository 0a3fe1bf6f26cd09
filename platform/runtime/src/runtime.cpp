#include "runtime/runtime.h"

#include <atomic>
#include <ctime>

namespace {

// One state for the whole process, as in the C runtime the programs assume.
// Everything runs on the user-interface thread; the atomic only keeps a stray
// worker thread from tearing the value.
std::atomic<std::uint32_t> g_randState{1};
std::atomic<bool> g_tickPinned{false};
std::atomic<std::uint32_t> g_pinnedTicks{0};

}  // namespace

namespace crt {

int rand()
{
    std::uint32_t next = g_randState.load(std::memory_order_relaxed) * 214013u + 2531011u;
    g_randState.store(next, std::memory_order_relaxed);
    return static_cast<int>((next >> 16) & 0x7FFFu);
}

void srand(std::uint32_t seed)
{
    g_randState.store(seed, std::memory_order_relaxed);
}

}  // namespace crt

std::uint32_t GetTickCount()
{
    if (g_tickPinned.load(std::memory_order_relaxed))
        return g_pinnedTicks.load(std::memory_order_relaxed);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

void SetTickCountForTesting(std::optional<std::uint32_t> ticks)
{
    if (ticks)
        g_pinnedTicks.store(*ticks, std::memory_order_relaxed);
    g_tickPinned.store(ticks.has_value(), std::memory_order_relaxed);
}
