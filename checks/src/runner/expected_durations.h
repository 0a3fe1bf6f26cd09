// How each check is scheduled: how long it usually takes, per level (the
// estimate of the time left, the longest-first order of --jobs and the
// balance of --shard), and whether it must run with no other check beside it.
#pragma once

#include <checks/check.h>

#include <string_view>

namespace checks::runner {

// Seconds on the bundled component (2 cores); a check not in the table is
// taken as a short one.
double ExpectedSeconds(std::string_view checkName, Level level);

// True for a check that measures time (the timing suite): under --jobs it
// runs when no other check runs, so another check's load is not in its
// figures.
bool RunsAlone(std::string_view checkName);

}  // namespace checks::runner
