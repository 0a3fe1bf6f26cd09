// The memory suite (checks/src/memory).
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks {

// What using the component leaves behind: leaks per life cycle, reference
// counts, threads.
std::vector<CheckDef> MemorySuite(const SuiteOptions& opts);

}  // namespace checks
