// Telling a leak from allocator noise: resources sampled after a warm-up and
// after each of three equal runs of life cycles grow in every run, and by
// about as much, when something leaks per cycle; a cache that fills once or
// a pool the allocator keeps grows in one run and then stops.
#pragma once

#include "memory/process_resources.h"

#include <array>
#include <optional>
#include <string>

namespace checks::memory {

// Samples before the first run and after each of three runs.
using RunSamples = std::array<ResourceSample, 4>;

struct Growth {
    Resource resource;
    std::array<std::int64_t, 3> perRun;  // growth in each run
    double perCycle;                     // over the three runs
};

// The growth of resource when it is linear in the cycles: every run grows it
// by at least a floor (heapFloor bytes a cycle for the heap, 1 for a count)
// and no run by more than four times another.
std::optional<Growth> LinearGrowth(const RunSamples& samples, int cyclesPerRun, Resource resource,
                                   std::int64_t heapFloor);

// "1040 bytes per life cycle (+8320, +8320, +8320 in three runs of 8 cycles)"
std::string GrowthText(const Growth& growth, int cyclesPerRun);

}  // namespace checks::memory
