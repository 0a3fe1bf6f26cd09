// Keeping random test data below the key's base, so that the round trip of
// raw RSA can give the data back.
#pragma once

#include <cstdint>
#include <span>

namespace harness {

// Lowers data, when needed, until as a number (last word most significant) it
// is below base; both hold the same count of words. Data already below the
// base is left alone; otherwise the words above the base's top nonzero word
// are cleared and that word is set to one less than the base's. Returns false
// (data untouched) when the base is 0 or 1, which leaves no useful number.
bool KeepBelowBase(std::span<std::uint32_t> data, std::span<const std::uint32_t> base);

// True when a is below b; both hold the same count of words.
bool IsBelow(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b);

}  // namespace harness
