// The hidden mode in which tarvel-check runs exactly one check in its own
// process and reports like a forked check child: what --memcheck has
// valgrind start, since memcheck must see the process from its start.
#pragma once

#include <checks/check.h>

#include <string>
#include <vector>

namespace checks::runner {

// The first word of the mode; not in --help, users never type it.
inline constexpr const char* kRunOneCheckWord = "--run-one-check";

// The words after the program that make it run check name as options say,
// reporting frames into framesFd and the call in progress into the shared
// record behind recordFd.
std::vector<std::string> OneCheckArguments(const std::string& name, const SuiteOptions& options,
                                           const std::string& dataDir, int framesFd, int recordFd);

// Runs the one check, libraryLoad or one of suites, and never returns
// normally; 2 for a command line that names no check (the parent then sees a
// child that ended early).
int RunOneCheckMain(int argc, char** argv, const std::vector<NamedSuite>& suites, const CheckDef& libraryLoad);

}  // namespace checks::runner
