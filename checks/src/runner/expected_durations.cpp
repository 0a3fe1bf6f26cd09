#include "runner/expected_durations.h"

#include <iterator>

namespace checks::runner {
namespace {

// Measured with "tarvel-check --level L --json F" on the bundled component
// (2 cores, release build) and rounded; a check below 0.05 s at every level
// is left out. Refresh when a check's work changes by much: only the order
// and the estimates depend on it, never a verdict.
struct Duration {
    std::string_view check;
    double quick, standard, thorough;
};
constexpr Duration kDurations[] = {
    {"rsa.keys.256", 0, 0, 18.0},
    {"vectors.sha1.4gib", 0, 0, 6.0},
    {"differential.rsa", 0.02, 0.05, 2.0},
    {"differential.md5", 0.01, 0.07, 0.8},
    {"rsa.keys.128", 0, 1.3, 0.7},
    {"differential.sha1", 0.01, 0.07, 0.55},
    {"differential.rsa.exponents", 0.02, 0.06, 0.45},
    {"vectors.md5.block-boundary", 0.01, 0.28, 0.2},
    {"vectors.sha1.block-boundary", 0.01, 0.29, 0.15},
    {"vectors.rsa.pkcs1v15", 0.01, 0.12, 0.1},
    {"rsa.keys.64", 0, 0.13, 0.08},
    {"rsa.asy-malformed", 0.04, 0.07, 0.07},
    {"rsa.key-files", 0.05, 0.05, 0.06},
    {"rsa.asy-texts", 0.13, 0.05, 0.06},
    {"vectors.sha1.monte", 0.01, 0.05, 0.05},
};
// Checks whose time is set by a budget rather than by their work: the timing
// tests measure until their budget (10 s, 60 s, 600 s) or their count is
// spent, which on a 2-core machine is the budget.
constexpr Duration kDurationsByPrefix[] = {
    {"timing.", 10, 60, 600},
};
constexpr double kShortCheck = 0.01;

// Name prefixes of the checks that run alone.
constexpr std::string_view kRunAlone[] = {"timing."};

}  // namespace

double ExpectedSeconds(std::string_view checkName, Level level)
{
    const auto at = [level](const Duration& d) {
        return level == Level::Quick ? d.quick : level == Level::Standard ? d.standard : d.thorough;
    };
    for (const Duration& d : kDurations)
        if (d.check == checkName)
            return at(d);
    for (const Duration& d : kDurationsByPrefix)
        if (checkName.substr(0, d.check.size()) == d.check)
            return at(d);
    return kShortCheck;
}

bool RunsAlone(std::string_view checkName)
{
    for (const std::string_view prefix : kRunAlone)
        if (checkName.substr(0, prefix.size()) == prefix)
            return true;
    return false;
}

}  // namespace checks::runner
