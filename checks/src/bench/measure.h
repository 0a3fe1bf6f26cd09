// Taking the samples of one operation: its answer checked, warmed up, calls
// batched until a sample is far above the clock's resolution, and with
// --vs-openssl the reference sampled in turn with it, sample by sample, so
// whatever else the machine does falls on both sides alike.
#pragma once

#include "bench/clock.h"
#include "bench/operations.h"
#include "bench/statistics.h"

#include <functional>
#include <optional>
#include <string>

namespace bench {

struct MeasureSettings {
    std::size_t samples = 31;
    // Time one operation may take for its samples, both sides together.
    double seconds = 2.0;
    bool vsOpenSsl = false;
    std::optional<CycleCounter> cycles;
    double resolutionNs = 1;
};

// Per call, in nanoseconds (and counter ticks).
struct SideFigures {
    std::size_t batch = 0;  // calls per sample
    Summary wall, cpu;
    std::optional<Summary> cycles;
};

struct Measurement {
    std::string name, description, referenceName;
    std::uint64_t bytes = 0;
    bool onePerSample = false;
    // Set when the operation could not be timed: a wrong answer or a failed
    // call. There are no figures then.
    std::string failure;
    SideFigures ours;
    std::optional<SideFigures> reference;
    // Ours over OpenSSL's wall time: the median of the ratios of samples
    // taken side by side, or for one key per sample the ratio of the medians
    // with a bootstrap interval.
    std::optional<Summary> ratio;
    double seconds = 0;  // what measuring it took, set-up included
};

using ProgressLine = std::function<void(const std::string&)>;

Measurement Measure(const Operation& op, const MeasureSettings& settings, const ProgressLine& progress);

}  // namespace bench
