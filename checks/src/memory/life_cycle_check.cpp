// Leaks per life cycle. Each class's protocol runs a few cycles to warm up
// (caches, the allocator's pools, a library's lazy start), then three equal
// runs of cycles with the process's resources sampled around each; what
// grows in every run by about as much is a leak. The protocol is then
// bisected: the shortest prefix of its steps whose cycles still grow names
// the step that leaks.
#include "memory/growth.h"
#include "memory/life_cycles.h"
#include "suites/scratch_files.h"
#include "memory/memory_checks.h"
#include "memory/rule_context.h"

#include <algorithm>
#include <optional>

namespace checks::memory {
namespace {

std::optional<RunSamples> Measure(Context& calls, LifeCycle& cycle, std::size_t steps, int cyclesPerRun)
{
    for (int i = 0; i < kWarmUpCycles; ++i)
        if (!cycle.Run(calls, steps))
            return std::nullopt;
    RunSamples samples;
    samples[0] = SampleResources();
    for (std::size_t run = 1; run < samples.size(); ++run) {
        for (int i = 0; i < cyclesPerRun; ++i)
            if (!cycle.Run(calls, steps))
                return std::nullopt;
        samples[run] = SampleResources();
    }
    return samples;
}

// What grows linearly in two measurements one after the other: a pool or a
// cache still filling after the warm-up has stopped by the second. Nullopt
// when a call failed on the way.
std::optional<std::vector<Growth>> Growths(Context& calls, LifeCycle& cycle, std::size_t steps, int cyclesPerRun)
{
    const auto first = Measure(calls, cycle, steps, cyclesPerRun);
    if (!first)
        return std::nullopt;
    std::vector<Resource> suspects;
    for (const Resource resource : kResources)
        if (LinearGrowth(*first, cyclesPerRun, resource, HeapFloorPerCycle()))
            suspects.push_back(resource);
    std::vector<Growth> growths;
    if (suspects.empty())
        return growths;
    const auto second = Measure(calls, cycle, steps, cyclesPerRun);
    if (!second)
        return std::nullopt;
    for (const Resource resource : suspects)
        if (const auto growth = LinearGrowth(*second, cyclesPerRun, resource, HeapFloorPerCycle()))
            growths.push_back(*growth);
    return growths;
}

bool Grows(const std::vector<Growth>& growths, Resource resource)
{
    return std::any_of(growths.begin(), growths.end(), [&](const Growth& g) { return g.resource == resource; });
}

// The first step whose cycles grow resource: 0 when creating and releasing
// alone does, nullopt when a call failed on the way.
std::optional<std::size_t> Bisect(Context& calls, LifeCycle& cycle, Resource resource, int cyclesPerRun)
{
    std::size_t low = 0;
    std::size_t high = cycle.Steps().size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const auto growths = Growths(calls, cycle, middle, cyclesPerRun);
        if (!growths)
            return std::nullopt;
        if (Grows(*growths, resource))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

std::string ProtocolText(const LifeCycle& cycle)
{
    std::string text = "create";
    for (const std::string& step : cycle.Steps())
        text += ", " + step.substr(step.find("::") == std::string::npos ? 0 : step.find("::") + 2);
    return text + ", release";
}

}  // namespace

void CheckLifeCycles(Context& ctx, CryptoClassKind kind, int cyclesPerRun)
{
    const support::ScratchFolder folder("tarvel-memory");
    if (!folder.Ready(ctx))
        return;
    RuleContext calls(ctx, "call.status");
    const auto cycle = MakeLifeCycle(kind, folder.Path());
    const auto growths = Growths(calls, *cycle, cycle->Steps().size(), cyclesPerRun);
    if (!growths)
        return;
    for (const Growth& growth : *growths) {
        std::string text = std::string(ResourceGrows(growth.resource)) + " by " + GrowthText(growth, cyclesPerRun) +
                           " of " + cycle->ClassName() + " (" + ProtocolText(*cycle) + ")";
        if (const auto step = Bisect(calls, *cycle, growth.resource, cyclesPerRun))
            text += *step == 0 ? "; creating and releasing the object alone makes it grow"
                               : "; bisected over the steps, the growth starts with " + cycle->Steps()[*step - 1];
        ctx.Fail(text);
    }
}

}  // namespace checks::memory
