// The timing suite (checks/src/timing).
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks {

// Timing leaks of RSA Decrypt and DES, with controls; lists its checks only
// when named or at Level::Thorough.
std::vector<CheckDef> TimingSuite(const SuiteOptions& opts);

}  // namespace checks
