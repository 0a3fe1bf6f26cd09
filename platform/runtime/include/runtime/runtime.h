// The programs' own C runtime pieces: the classic linear congruential rand()
// and the millisecond tick count. The test programs rely on their exact
// sequences (an unseeded generator must repeat the sequence of a seed of 1),
// so they never use the C library's rand.
#pragma once

#include <cstdint>
#include <optional>

namespace crt {

inline constexpr int kRandMax = 32767;

// Next value in 0..kRandMax from the one process-wide generator.
int rand();
// Restarts the process-wide generator from seed.
void srand(std::uint32_t seed);

}  // namespace crt

// Milliseconds since boot from a monotonic clock, wrapping at 2^32.
std::uint32_t GetTickCount();

// Pins GetTickCount to a value (or releases it with nullopt) so that tests get
// repeatable seeds.
void SetTickCountForTesting(std::optional<std::uint32_t> ticks);
