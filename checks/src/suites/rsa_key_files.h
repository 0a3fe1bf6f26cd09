// The three key files as saved: who may read them, what they hold (and
// what the public one must not), the documented formats, and the .asy
// record through LoadAsyFile with hostile texts and malformed records.
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks {

std::vector<CheckDef> KeyFileChecks(const SuiteOptions& opts);

}  // namespace checks
