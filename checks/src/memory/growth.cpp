#include "memory/growth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace checks::memory {

std::optional<Growth> LinearGrowth(const RunSamples& samples, int cyclesPerRun, Resource resource,
                                   std::int64_t heapFloor)
{
    Growth growth{resource, {}, 0};
    for (std::size_t run = 0; run < 3; ++run)
        growth.perRun[run] = samples[run + 1][resource] - samples[run][resource];
    const std::int64_t floor = resource == Resource::Heap ? heapFloor * cyclesPerRun : 1;
    const auto [least, most] = std::minmax_element(growth.perRun.begin(), growth.perRun.end());
    if (*least < floor || *most > 4 * *least)
        return std::nullopt;
    growth.perCycle = static_cast<double>(samples[3][resource] - samples[0][resource]) / (3.0 * cyclesPerRun);
    return growth;
}

std::string GrowthText(const Growth& growth, int cyclesPerRun)
{
    char perCycle[32];
    std::snprintf(perCycle, sizeof perCycle, "%.*f",
                  std::fabs(growth.perCycle - std::round(growth.perCycle)) < 0.05 ? 0 : 2, growth.perCycle);
    std::string text = std::string(perCycle) + " " + ResourceUnit(growth.resource) + " per life cycle (";
    for (std::size_t run = 0; run < growth.perRun.size(); ++run)
        text += (run ? ", +" : "+") + std::to_string(growth.perRun[run]);
    return text + " in three runs of " + std::to_string(cyclesPerRun) + " cycles)";
}

}  // namespace checks::memory
