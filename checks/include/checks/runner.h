// The command-line runner: tarvel-check's whole behaviour, given its suites.
#pragma once

#include <checks/suites.h>

#include <vector>

namespace checks {

// Exit statuses of a run.
inline constexpr int kExitAllPassed = 0;
inline constexpr int kExitCheckFailed = 1;
inline constexpr int kExitCannotRun = 2;  // component not loadable, or a wrong command line

// Parses the command line, runs the chosen checks of suites each in a child
// process and writes the reports. Returns the exit status.
int RunnerMain(int argc, char** argv, const std::vector<NamedSuite>& suites);

}  // namespace checks
