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
    {"vectors.sha1.4gib", 0, 0, 29.0},        {"rsa.keys.256", 0, 0, 17.5},
    {"differential.rsa", 0.04, 0.08, 3.1},    {"differential.md5", 0.01, 0.2, 2.2},
    {"differential.sha1", 0.01, 0.18, 1.9},   {"rsa.keys.128", 0, 1.75, 1.2},
    {"rsa.keys.64", 0, 0.33, 0.08},           {"vectors.rsa.pkcs1v15", 0.01, 0.24, 0.08},
    {"vectors.sha1.monte", 0.01, 0.11, 0.11}, {"rsa.key-files", 0.06, 0.06, 0.05},
};
constexpr double kShortCheck = 0.01;

}  // namespace

double ExpectedSeconds(std::string_view checkName, Level level)
{
    for (const Duration& d : kDurations)
        if (d.check == checkName)
            return level == Level::Quick ? d.quick : level == Level::Standard ? d.standard : d.thorough;
    return kShortCheck;
}

}  // namespace checks::runner
