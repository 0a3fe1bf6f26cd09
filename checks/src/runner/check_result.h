// The verdict on one check as the reports show it.
#pragma once

#include <string>
#include <vector>

namespace checks::runner {

enum class Verdict { Pass, Fail, Skip };

const char* VerdictName(Verdict verdict);  // "PASS", "FAIL", "SKIP"

struct CheckResult {
    std::string name;
    std::string suite;
    std::string description;
    Verdict verdict = Verdict::Pass;
    // Failures, or the reason for a skip; a message may span several lines.
    std::vector<std::string> messages;
    std::vector<std::string> notes;
    double seconds = 0;
};

}  // namespace checks::runner
