// --shard K/N: which checks the K-th of N parts runs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace checks::runner {

// The positions (into names, ascending) of the checks of part index
// (1-based) of count. The parts are balanced by expected time: the checks,
// longest first and by name among equals, go one by one to the part with the
// least time so far (the lowest-numbered among equals). The split depends on
// the names and times alone, so every machine of a CI matrix given the same
// options computes the same parts; together they hold every check once.
std::vector<std::size_t> ShardPositions(const std::vector<std::string>& names, const std::vector<double>& seconds,
                                        unsigned index, unsigned count);

}  // namespace checks::runner
