// The clock one timing measurement is read from: the time-stamp counter,
// fenced so that the work being timed can neither start before the first
// read nor finish after the second, where the CPU has an invariant one;
// CLOCK_MONOTONIC_RAW (never slewed by NTP) elsewhere.
#pragma once

#include <cstdint>
#include <string>

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

#include <time.h>

namespace timing {

class Stopwatch {
public:
    // Probes the CPU once (about 20 ms for the counter's rate).
    static Stopwatch Probe();

    std::uint64_t Start() const
    {
#if defined(__x86_64__)
        if (m_cycles) {
            // lfence waits for every earlier instruction, so nothing before
            // the read is still running when it is taken.
            _mm_lfence();
            const std::uint64_t now = __rdtsc();
            _mm_lfence();
            return now;
        }
#endif
        return RawNanoseconds();
    }

    std::uint64_t Stop() const
    {
#if defined(__x86_64__)
        if (m_cycles) {
            // rdtscp waits for the timed work to finish; the fence keeps what
            // follows from starting before the read.
            unsigned cpu = 0;
            const std::uint64_t now = __rdtscp(&cpu);
            _mm_lfence();
            return now;
        }
#endif
        return RawNanoseconds();
    }

    // Counter ticks per nanosecond (1 for the clock fallback).
    double TicksPerNanosecond() const
    {
        return m_ticksPerNs;
    }
    // "time-stamp counter (lfence; rdtsc … rdtscp), 2.445 ticks/ns".
    std::string Description() const;

private:
    static std::uint64_t RawNanoseconds()
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_RAW, &now);
        return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
    }

    bool m_cycles = false;
    double m_ticksPerNs = 1;
};

// Pins the calling thread to the CPU it runs on, so a measurement never
// moves between cores with different caches and clocks. Says what happened:
// "pinned to CPU 1", or why it could not ("not pinned: …").
std::string PinToCurrentCpu();

}  // namespace timing
