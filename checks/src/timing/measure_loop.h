// The measurement loop of one timing test. The component and both controls
// are timed in turn, batch by batch, with the subject order rotated every
// batch and each subject's classes drawn at random on their own, so
// whatever the machine does meanwhile falls on every subject and on both
// classes alike. Warm-up batches are dropped; the next measurements set the
// crop thresholds and are dropped too; then every measurement goes into the
// subject's tests until the budget is spent or a leak is settled.
#pragma once

#include "timing/leak_statistics.h"
#include "timing/stopwatch.h"
#include "timing/subject.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace timing {

// Who is timed, in the order the figures are kept.
enum Role : int { kComponent = 0, kLeakyControl = 1, kConstantTimeControl = 2 };
constexpr std::size_t kRoles = 3;

// |t| above this is a leak: dudect's "probably not constant time". Below it
// the maximum over a hundred crops of a sound implementation stays on a
// quiet machine and, so far, on a loaded one.
constexpr double kLeakThreshold = 10;

struct Budget {
    std::size_t perClass = 100'000;  // measurements of each class of the component
    double seconds = 60;             // measuring time, set-up excluded
};

// |t| as measurements accumulate, for a plot.
struct TracePoint {
    std::size_t measurements = 0;  // the component's, both classes
    std::array<double, kRoles> t{};
};

struct SubjectFigures {
    LeakStatistics statistics;  // with every measurement in ticks
};

struct LoopResult {
    std::array<SubjectFigures, kRoles> subjects;
    std::vector<TracePoint> trace;
    double seconds = 0;
    // "budget", "time" or "leak" (settled early); "failed" with failure set.
    std::string stoppedBy;
    std::string failure;  // which subject's call failed, and why
};

// When a test may stop before its budget: at each checkpoint (a count of
// the component's measurements per class, doubling from the first), the
// component must be above the threshold at this checkpoint and the one
// before, the leaky control above it and the constant-time control below.
class EarlySettling {
public:
    explicit EarlySettling(std::size_t firstCheckpoint) : m_next(firstCheckpoint) {}
    std::size_t NextCheckpoint() const { return m_next; }
    // Called once the count reaches NextCheckpoint(); moves on to the next.
    bool Settled(const std::array<SubjectFigures, kRoles>& figures);

private:
    std::size_t m_next;
    bool m_crossedBefore = false;
};

LoopResult MeasureSubjects(const std::array<Subject*, kRoles>& subjects, const Budget& budget, const Stopwatch& watch,
                           std::uint64_t seed);

// The role as the reports name it: "the component", "the leaky control", ...
const char* RoleName(Role role);

}  // namespace timing
