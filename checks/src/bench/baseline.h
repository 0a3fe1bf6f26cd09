// Comparing a run with an earlier one (--baseline): an operation counts as
// slower only when its median's interval lies wholly above the earlier one's,
// so noise inside the intervals never flags anything.
#pragma once

#include "bench/measure.h"

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct BaselineEntry {
    std::string name;
    double median = 0, low = 0, high = 0;  // wall ns per call
};

// The timed operations of a tarvel-bench/1 document; nullopt with error set
// when the file cannot be read or is no such document.
std::optional<std::vector<BaselineEntry>> ReadBaseline(const std::string& path, std::string& error);

struct Comparison {
    std::string name;
    BaselineEntry before;
    Summary now;
    enum class Change { Same, Slower, Faster } change = Change::Same;
};

// One comparison per operation timed in both runs, in this run's order.
std::vector<Comparison> CompareWithBaseline(const std::vector<Measurement>& now,
                                            const std::vector<BaselineEntry>& before);

}  // namespace bench
