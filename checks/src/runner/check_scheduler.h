// Runs a list of checks several at a time, each still in a child of its own
// under its own time limit (RunCheckInChild from worker threads), and hands
// the results back in the list's order, so a parallel run prints and reports
// exactly what a serial one does.
#pragma once

#include "runner/check_result.h"

#include <checks/check.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace checks::runner {

struct ScheduleProgress {
    std::size_t done = 0, total = 0;
    std::vector<std::string> running;  // names of the checks running now
    double secondsLeft = 0;            // estimate, from the expected times
};

struct ScheduleCallbacks {
    // Each result, in the checks' order, as soon as it and all before it are
    // done; may change the result before it is kept.
    std::function<void(std::size_t index, CheckResult& result)> finished;
    // The state of the run, a few times a second and at every change.
    std::function<void(const ScheduleProgress& progress)> progress;
};

// How one check is to be scheduled.
struct CheckPlan {
    double expectedSeconds = 0;
    bool alone = false;  // runs with no other check beside it
};

// With jobs above 1 the checks start longest expected first, and those to
// run alone last, one at a time once the others are done; with 1 they run in
// the list's order. Callbacks run on the calling thread.
std::vector<CheckResult> RunChecks(const std::vector<CheckDef>& checks, const std::vector<CheckPlan>& plans,
                                   const SuiteOptions& options, unsigned jobs, const ScheduleCallbacks& callbacks);

}  // namespace checks::runner
