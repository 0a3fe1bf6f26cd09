#include "bench/clock.h"

#include <time.h>

#include <algorithm>

#if defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace bench {
namespace {

std::uint64_t Read(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace

std::uint64_t WallNanoseconds()
{
    return Read(CLOCK_MONOTONIC);
}
std::uint64_t CpuNanoseconds()
{
    return Read(CLOCK_PROCESS_CPUTIME_ID);
}

double WallResolution()
{
    std::uint64_t smallest = UINT64_MAX;
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t a = WallNanoseconds();
        std::uint64_t b = WallNanoseconds();
        while (b == a)
            b = WallNanoseconds();
        smallest = std::min(smallest, b - a);
    }
    return static_cast<double>(smallest);
}

std::optional<CycleCounter> CycleCounter::Probe()
{
#if defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0x80000000u, &eax, &ebx, &ecx, &edx) || eax < 0x80000007u)
        return std::nullopt;
    __get_cpuid(0x80000007u, &eax, &ebx, &ecx, &edx);
    if (!(edx & (1u << 8)))
        return std::nullopt;
    CycleCounter counter;
    // Both clocks are read over the same 20 ms, so a preemption inside it
    // changes nothing but the two reads at its ends.
    const std::uint64_t wall0 = WallNanoseconds();
    const std::uint64_t tick0 = __rdtsc();
    while (WallNanoseconds() - wall0 < 20'000'000u) {
    }
    const std::uint64_t tick1 = __rdtsc();
    const std::uint64_t wall1 = WallNanoseconds();
    counter.m_ticksPerNs = static_cast<double>(tick1 - tick0) / static_cast<double>(wall1 - wall0);
    return counter;
#else
    return std::nullopt;
#endif
}

std::uint64_t CycleCounter::Now() const
{
#if defined(__x86_64__)
    return __rdtsc();
#else
    return 0;
#endif
}

}  // namespace bench
