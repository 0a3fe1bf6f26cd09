#include "timing/measure_loop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

namespace timing {
namespace {

constexpr std::size_t kBatch = 100;
// The first measurements of a subject's batch run on caches the other
// subjects just used; they are dropped.
constexpr std::size_t kColdPerBatch = 2;
constexpr std::size_t kWarmUpBatches = 2;
// Measurements per subject that set the crop thresholds.
constexpr std::size_t kCalibration = 1000;
// A leak is not settled on fewer measurements per class than this. The
// loop looks after every batch, and a thousand DES calls take a fraction of
// a millisecond, within one burst of whatever else the machine does: at a
// thousand per class a sound DES settled a "leak" now and then.
constexpr std::size_t kFewestToSettle = 10'000;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// True once the component and the leaky control both exceed the threshold
// and the constant-time control does not: nothing more to learn.
bool Settled(const std::array<SubjectFigures, kRoles>& figures)
{
    const LeakStatistics& component = figures[kComponent].statistics;
    if (std::min(component.Count(kFixed), component.Count(kRandom)) < kFewestToSettle)
        return false;
    return std::fabs(component.Largest().t) > kLeakThreshold &&
           std::fabs(figures[kLeakyControl].statistics.Largest().t) > kLeakThreshold &&
           std::fabs(figures[kConstantTimeControl].statistics.Largest().t) <= kLeakThreshold;
}

}  // namespace

const char* RoleName(Role role)
{
    switch (role) {
    case kComponent:
        return "the component";
    case kLeakyControl:
        return "the leaky control";
    case kConstantTimeControl:
        break;
    }
    return "the constant-time control";
}

LoopResult MeasureSubjects(const std::array<Subject*, kRoles>& subjects, const Budget& budget, const Stopwatch& watch,
                           std::uint64_t seed)
{
    LoopResult result;
    std::mt19937_64 random(seed);
    std::array<std::vector<double>, kRoles> calibration;
    std::array<bool, kRoles> calibrated{};
    std::array<std::vector<Class>, kRoles> classes;
    std::array<std::uint64_t, kBatch> elapsed{};
    std::size_t nextTrace = 1000;
    const auto started = std::chrono::steady_clock::now();
    const auto failed = [&](std::size_t role) {
        result.failure = std::string(RoleName(Role(role))) + ": " + subjects[role]->Error();
        result.stoppedBy = "failed";
        result.seconds = Seconds(started);
        return result;
    };

    for (std::size_t batch = 0;; ++batch) {
        // Every subject's inputs are made before any of this batch is timed.
        for (std::size_t role = 0; role < kRoles; ++role) {
            classes[role].resize(kBatch);
            for (Class& c : classes[role])
                c = (random() & 1) ? kRandom : kFixed;
            if (!subjects[role]->PrepareBatch(classes[role]))
                return failed(role);
        }
        for (std::size_t turn = 0; turn < kRoles; ++turn) {
            const std::size_t role = (batch + turn) % kRoles;
            Subject& subject = *subjects[role];
            for (std::size_t slot = 0; slot < kBatch; ++slot) {
                bool ok = subject.Setup(slot);
                if (ok) {
                    const std::uint64_t start = watch.Start();
                    ok = subject.Run();
                    elapsed[slot] = watch.Stop() - start;
                }
                if (!ok)
                    return failed(role);
            }
            if (batch < kWarmUpBatches)
                continue;
            SubjectFigures& figures = result.subjects[role];
            for (std::size_t slot = kColdPerBatch; slot < kBatch; ++slot) {
                const auto ticks = static_cast<double>(elapsed[slot]);
                if (!calibrated[role]) {
                    calibration[role].push_back(ticks);
                    continue;
                }
                figures.statistics.Add(classes[role][slot], ticks);
            }
            figures.statistics.Refresh();
            if (!calibrated[role] && calibration[role].size() >= kCalibration) {
                figures.statistics = LeakStatistics(CropThresholds(std::move(calibration[role])));
                calibrated[role] = true;
            }
        }

        const LeakStatistics& component = result.subjects[kComponent].statistics;
        const std::size_t measured = component.Count(kFixed) + component.Count(kRandom);
        if (measured >= nextTrace) {
            TracePoint point{measured, {}};
            for (std::size_t role = 0; role < kRoles; ++role)
                point.t[role] = result.subjects[role].statistics.Largest().t;
            result.trace.push_back(point);
            nextTrace = nextTrace * 3 / 2;
        }
        if (std::min(component.Count(kFixed), component.Count(kRandom)) >= budget.perClass) {
            result.stoppedBy = "budget";
            break;
        }
        if (Seconds(started) >= budget.seconds) {
            result.stoppedBy = "time";
            break;
        }
        if (Settled(result.subjects)) {
            result.stoppedBy = "leak";
            break;
        }
    }
    for (SubjectFigures& figures : result.subjects)
        figures.statistics.Refresh(true);
    result.seconds = Seconds(started);
    return result;
}

}  // namespace timing
