// How results are told on the console, and the documents of the built-in
// formats by name (each is a Reporter, see report_formats.h).
#pragma once

#include "runner/check_result.h"
#include "runner/run_model.h"

#include <string>

namespace checks::runner {

// "PASS  name" / "FAIL  name: message" with further messages and notes on
// indented lines below; bytes a terminal would act on are shown as "\xHH".
std::string ConsoleLines(const CheckResult& result);

// How the run's own lines look: colour (red FAIL, green PASS, yellow notes
// and skips) only for a terminal that wants it.
struct TextStyle {
    bool colour = false;
};
// ConsoleLines with the check's time on its first line ("  (0.02 s)"), an
// expected failure as "XFAIL" with its reason, and a listed check that passed
// said so.
std::string ResultLines(const CheckResult& result, const TextStyle& style);
// "tarvel-check: PATH (level L, seed S, N checks)", N being checkCount.
std::string HeaderLine(const RunSummary& summary, std::size_t checkCount);
// "N passed, M failed, K skipped, L with notes", then the expected failures
// and unexpected passes when there are any.
std::string SummaryLine(const RunSummary& summary);
// "0.02 s", "12.4 s".
std::string SecondsText(double seconds);

std::string JsonDocument(const RunSummary& summary);
std::string JunitDocument(const RunSummary& summary);

}  // namespace checks::runner
