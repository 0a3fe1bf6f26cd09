// One timing test from start to verdict, as a check reports it: the thread
// pinned, the clock chosen, the subjects measured, the verdict judged, and
// every figure in a note.
#pragma once

#include "timing/measure_loop.h"
#include "timing/timing_note.h"

#include <checks/check.h>

namespace timing {

// Measurements and seconds per test at each level; quick is for trying the
// suite out, not for a verdict worth keeping.
Budget BudgetFor(checks::Level level);

// A time limit for a check whose set-up may take setupSeconds before the
// measuring starts.
double TimeoutFor(checks::Level level, double setupSeconds);

// A leak or an inconclusive test fails the check; "no leak" passes it.
void RunTimingTest(checks::Context& ctx, const std::array<Subject*, kRoles>& subjects, const TestDescription& test);

// A seed of its own for each subject, from the check's.
std::uint64_t StreamSeed(std::uint64_t checkSeed, Role role);

}  // namespace timing
