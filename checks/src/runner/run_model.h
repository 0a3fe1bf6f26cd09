// One run of tarvel-check as every reporter sees it: where the verdicts came
// from, how the run was made, and each check's result in the order of the
// checks (whatever order they ran in).
#pragma once

#include "runner/check_result.h"
#include "runner/run_origin.h"

#include <checks/check.h>

#include <cstdint>
#include <string>
#include <vector>

namespace checks::runner {

// The version of the JSON document's layout; see checks/README.md. It changes
// only when a field changes meaning or goes away; new fields keep it.
inline constexpr const char* kJsonSchema = "tarvel-check/1";

struct RunSummary {
    std::string component;
    RunOrigin origin;
    Level level = Level::Standard;
    std::uint64_t seed = 1;
    std::vector<CheckResult> results;
    double seconds = 0;
    int exitStatus = 0;
    // "K/N" for a sharded run, empty otherwise.
    std::string shard;
    int jobs = 1;
    bool memcheck = false;  // every check's child ran under valgrind's memcheck

    int Count(Verdict verdict) const;
    // Failures that fail the run: all but those --expect-fail lists.
    int CountUnexpectedFailures() const;
    int CountExpectedFailures() const;
    int CountUnexpectedPasses() const;
    // Checks that passed or were skipped and still have something to say (a
    // failure always carries at least its replay line).
    int CountWithNotes() const;
    // 1 when a failure fails the run, else 0.
    int VerdictStatus() const;
};

// The results of one suite, in the run's order.
struct SuiteResults {
    std::string suite;
    std::vector<const CheckResult*> results;
};
// The suites in the order the run met them, each with its results.
std::vector<SuiteResults> ResultsBySuite(const RunSummary& summary);

// The command that runs one check again with the inputs it had.
std::string ReplayCommand(const RunSummary& summary, const std::string& checkName);

}  // namespace checks::runner
