// How results are told: the console lines, the JSON document and JUnit XML.
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

    int Count(Verdict verdict) const;
    // Checks that passed or were skipped and still have something to say (a
    // failure always carries at least its replay line).
    int CountWithNotes() const;
};

// "PASS  name" / "FAIL  name: message" with further messages and notes on
// indented lines below; bytes a terminal would act on are shown as "\xHH".
std::string ConsoleLines(const CheckResult& result);
// "N passed, M failed, K skipped, L with notes".
std::string SummaryLine(const RunSummary& summary);

std::string JsonDocument(const RunSummary& summary);
std::string JunitDocument(const RunSummary& summary);

}  // namespace checks::runner
