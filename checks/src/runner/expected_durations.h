// How long each check usually takes, per level: the estimate of the time
// left, the longest-first order of --jobs and the balance of --shard.
#pragma once

#include <checks/check.h>

#include <string_view>

namespace checks::runner {

// Seconds on the bundled component (2 cores); a check not in the table is
// taken as a short one.
double ExpectedSeconds(std::string_view checkName, Level level);

}  // namespace checks::runner
