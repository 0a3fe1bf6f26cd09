// The command-line runner: tarvel-check's whole behaviour, given its suites.
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks {

// Exit statuses of a run.
inline constexpr int kExitAllPassed = 0;
inline constexpr int kExitCheckFailed = 1;
inline constexpr int kExitCannotRun = 2;  // component not loadable, or a wrong command line

// Parses the command line, runs the chosen checks of suites each in a child
// process and writes the reports. Returns the exit status. libraryLoad runs
// before anything else: when the library does not even load, nothing else
// can be judged. The executable hands both in, so the runner knows no suite.
int RunnerMain(int argc, char** argv, const std::vector<NamedSuite>& suites, const CheckDef& libraryLoad);

}  // namespace checks
