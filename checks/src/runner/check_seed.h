// The seed each check sees, derived from the run's seed and the check's name:
//   CheckSeed(run, name) = SplitMix64(run XOR FNV-1a-64(name))
// FNV-1a-64 uses offset basis 0xcbf29ce484222325 and prime 0x100000001b3 over
// the name's bytes; SplitMix64 is Steele, Lea and Flood's finaliser (add
// 0x9e3779b97f4a7c15, then xor-shift-multiply by 0xbf58476d1ce4e5b9 and
// 0x94d049bb133111eb). The formula is fixed: a seed printed by one release
// replays the same inputs in the next.
#pragma once

#include <cstdint>
#include <string_view>

namespace checks::runner {

std::uint64_t CheckSeed(std::uint64_t runSeed, std::string_view checkName);

}  // namespace checks::runner
