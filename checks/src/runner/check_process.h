// Runs one check's body in a child process of its own.
#pragma once

#include "runner/check_result.h"

#include <checks/check.h>

namespace checks::runner {

// Forks, runs the body under a time limit and gathers what it reported. A
// child that dies by a signal, exits without finishing or overruns its time
// fails the check, naming the last component call it had started.
CheckResult RunCheckInChild(const CheckDef& check, const SuiteOptions& options);

}  // namespace checks::runner
