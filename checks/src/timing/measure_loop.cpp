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
// A leak is settled early only at checkpoints: 10 000 measurements per
// class, then each time the count doubles. The loop could look after every
// batch, but a thousand DES calls take a fraction of a millisecond, within
// one burst of whatever else the machine does, and a look after every batch
// catches such a burst at its peak: a sound DES settled a "leak" at 10 000
// per class that way, |t| just above the line. A burst fades by the next
// doubling; a leak grows with the square root of the count.
constexpr std::size_t kFirstCheckpoint = 10'000;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

bool EarlySettling::Settled(const std::array<SubjectFigures, kRoles>& figures)
{
    const bool crossed = std::fabs(figures[kComponent].statistics.Largest().t) > kLeakThreshold;
    const bool settled = crossed && m_crossedBefore &&
                         std::fabs(figures[kLeakyControl].statistics.Largest().t) > kLeakThreshold &&
                         std::fabs(figures[kConstantTimeControl].statistics.Largest().t) <= kLeakThreshold;
    m_crossedBefore = crossed;
    m_next *= 2;
    return settled;
}

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
    EarlySettling settling(kFirstCheckpoint);
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
        if (std::min(component.Count(kFixed), component.Count(kRandom)) >= settling.NextCheckpoint() &&
            settling.Settled(result.subjects)) {
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
