// The clocks a sample is read from: the monotonic clock in nanoseconds, the
// process's CPU time, and the CPU's time-stamp counter where it ticks at a
// constant rate whatever the core's frequency (invariant TSC).
#pragma once

#include <cstdint>
#include <optional>

namespace bench {

std::uint64_t WallNanoseconds();
// CPU time of the whole process, so threads a component starts count too.
std::uint64_t CpuNanoseconds();
// The smallest step the monotonic clock was seen to make, in nanoseconds.
double WallResolution();

class CycleCounter {
public:
    // Usable only on x86-64 with an invariant TSC; nullopt elsewhere, and the
    // reports then leave cycles out.
    static std::optional<CycleCounter> Probe();
    std::uint64_t Now() const;
    // Counter ticks per nanosecond, measured against the monotonic clock.
    double TicksPerNanosecond() const { return m_ticksPerNs; }

private:
    double m_ticksPerNs = 0;
};

// One sample's reading of every clock.
struct Reading {
    std::uint64_t wall = 0;
    std::uint64_t cpu = 0;
    std::uint64_t cycles = 0;
};

}  // namespace bench
