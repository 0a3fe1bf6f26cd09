#include "timing/run_test.h"

#include "timing/verdict.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

namespace timing {
namespace {

// The fresh set's classes, inputs and shared draws (the block test's key)
// are drawn anew.
constexpr std::uint64_t kConfirmingSeed = 0xc0ff1e5e7ull;
// The fresh set starts no sooner than this after the first one began. A DES
// set lasts under a second, and on this machine a spell of another
// process's load that favoured the weak key lasted over a second and crossed
// in both sets: measured back to back, the two sets were not independent.
constexpr std::chrono::seconds kFreshSetApart{10};

std::string Nanoseconds(double ticks, const Stopwatch& watch)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f ns", ticks / watch.TicksPerNanosecond());
    return text;
}

// Where the component's largest |t| was seen, for the line under a leak.
std::string LeakDetail(const LoopResult& result, const Stopwatch& watch)
{
    const SubjectFigures& component = result.subjects[kComponent];
    const LargestT largest = component.statistics.Largest();
    return "largest in the " + largest.test + " test (" + Grouped(largest.counts[kFixed]) + " fixed, " +
           Grouped(largest.counts[kRandom]) + " random); median time: fixed class " +
           Nanoseconds(MedianTicks(component, kFixed), watch) + ", random class " +
           Nanoseconds(MedianTicks(component, kRandom), watch) +
           (largest.t > 0 ? "; the fixed class is slower" : "; the fixed class is faster");
}

}  // namespace

Budget BudgetFor(checks::Level level)
{
    switch (level) {
    case checks::Level::Quick:
        return {10'000, 10};
    case checks::Level::Standard:
        return {100'000, 60};
    case checks::Level::Thorough:
        break;
    }
    return {1'000'000, 600};
}

double TimeoutFor(checks::Level level, double setupSeconds)
{
    // The loop checks the time after each batch; a batch of the slowest
    // subject at 64 words lasts well under a second. A crossing of the line
    // measures a second set, at least 10 s after the first began.
    return setupSeconds + 2 * BudgetFor(level).seconds * 1.25 + 40;
}

std::uint64_t StreamSeed(std::uint64_t checkSeed, Role role)
{
    return checkSeed ^ (0x9e3779b97f4a7c15ull * (static_cast<std::uint64_t>(role) + 1));
}

void RunTimingTest(checks::Context& ctx, const std::array<Subject*, kRoles>& subjects, const TestDescription& test)
{
    const std::string pinned = PinToCurrentCpu();
    const Stopwatch watch = Stopwatch::Probe();
    const Budget budget = BudgetFor(ctx.Options().level);
    ctx.Calling(test.timed + " (timing loop)");
    const auto firstBegan = std::chrono::steady_clock::now();
    LoopResult result = MeasureSubjects(subjects, budget, watch, ctx.Seed());
    Verdict verdict = Judge(result);
    std::optional<LoopResult> first;
    if (NeedsAFreshSet(result)) {
        first = std::move(result);
        std::this_thread::sleep_until(firstBegan + kFreshSetApart);
        for (Subject* subject : subjects)
            subject->Reseed(ctx.Seed() ^ kConfirmingSeed);
        result = MeasureSubjects(subjects, budget, watch, ctx.Seed() ^ kConfirmingSeed);
        verdict = Confirmed(*first, result);
    }
    switch (verdict.kind) {
    case VerdictKind::Leak:
        ctx.Fail(verdict.text + "\n" + LeakDetail(result, watch));
        break;
    case VerdictKind::Inconclusive:
        ctx.Fail(verdict.text);
        break;
    case VerdictKind::NoLeak:
        ctx.Note(verdict.text);
        break;
    }
    if (pinned.rfind("not pinned", 0) == 0)
        ctx.Note(pinned + "; the measurements may have moved between CPUs");
    ctx.Note(TimingNote(test, budget, result, verdict, watch, pinned, first ? &*first : nullptr));
}

}  // namespace timing
