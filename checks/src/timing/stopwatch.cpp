#include "timing/stopwatch.h"

#include "bench/clock.h"

#include <sched.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace timing {

Stopwatch Stopwatch::Probe()
{
    Stopwatch watch;
    // The counter is usable only when it ticks at one rate whatever the
    // core's frequency; the bench's probe says so and measures the rate.
    if (const auto counter = bench::CycleCounter::Probe()) {
        watch.m_cycles = true;
        watch.m_ticksPerNs = counter->TicksPerNanosecond();
    }
    return watch;
}

std::string Stopwatch::Description() const
{
    if (!m_cycles)
        return "CLOCK_MONOTONIC_RAW (nanoseconds; no invariant time-stamp counter)";
    char text[96];
    std::snprintf(text, sizeof text, "time-stamp counter (lfence; rdtsc ... rdtscp; lfence), %.3f ticks/ns",
                  m_ticksPerNs);
    return text;
}

std::string PinToCurrentCpu()
{
    const int cpu = sched_getcpu();
    if (cpu < 0)
        return std::string("not pinned: sched_getcpu: ") + std::strerror(errno);
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    if (sched_setaffinity(0, sizeof set, &set) != 0)
        return std::string("not pinned: sched_setaffinity: ") + std::strerror(errno);
    return "pinned to CPU " + std::to_string(cpu);
}

}  // namespace timing
