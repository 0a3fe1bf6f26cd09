// The verdict on one check as the reports show it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace checks::runner {

enum class Verdict { Pass, Fail, Skip };

const char* VerdictName(Verdict verdict);  // "PASS", "FAIL", "SKIP"

// A note that carries a suite's figures for --json and the HTML report's
// pictures (the timing suite's "timing: {…}"), not words for people: the
// terminal and the HTML report's lists leave it out.
inline bool IsFiguresNote(std::string_view note)
{
    return note.rfind("timing: {", 0) == 0;
}

// One component call as the child sent it (call_record.h): its inputs, and
// its answers unless it did not return; both JSON objects.
struct RecordedCall {
    std::string started;
    std::string returned;
};

struct CheckResult {
    std::string name;
    std::string suite;
    std::string description;
    Verdict verdict = Verdict::Pass;
    // Failures, or the reason for a skip; a message may span several lines.
    std::vector<std::string> messages;
    std::vector<std::string> notes;
    double seconds = 0;
    // The component calls the check named, in order, a run of one call told
    // once with its count ("IUserSHA1::HashData ×4096"); kept only when the
    // run records calls (--artifacts).
    std::vector<std::string> calls;
    // Every call with its arguments and answers, in the order they started;
    // kept only when the run records calls.
    std::vector<RecordedCall> records;
    // Why the record stops before the check's end; "" when it is whole.
    std::string recordIncomplete;
    // The reason given in --expect-fail's list; empty when it is not listed.
    std::string expectedFailure;

    bool Listed() const { return !expectedFailure.empty(); }
    // A failure the list expected: it does not fail the run.
    bool ExpectedFailure() const { return verdict == Verdict::Fail && Listed(); }
    bool UnexpectedFailure() const { return verdict == Verdict::Fail && !Listed(); }
    // Listed, yet it passed: the list is out of date.
    bool UnexpectedPass() const { return verdict == Verdict::Pass && Listed(); }
};

}  // namespace checks::runner
