#include "runner/check_seed.h"

namespace checks::runner {
namespace {

std::uint64_t Fnv1a64(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

std::uint64_t SplitMix64(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

}  // namespace

std::uint64_t CheckSeed(std::uint64_t runSeed, std::string_view checkName)
{
    return SplitMix64(runSeed ^ Fnv1a64(checkName));
}

}  // namespace checks::runner
