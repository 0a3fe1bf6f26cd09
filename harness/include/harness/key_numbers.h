// Reading the numbers of an RSA key: a size query, then the number into a
// buffer of that size, with every count the component gives checked before
// it is believed.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <vector>

namespace harness {

// No number the harness handles is longer than this; a component reporting
// more is not believed.
inline constexpr std::uint32_t kMaxNumberWords = 1u << 20;

using KeyNumberGetter = HRESULT (IUserRSA::*)(std::uint32_t* words, std::uint32_t* count);
using KeyNumberSetter = HRESULT (IUserRSA::*)(const std::uint32_t* words, std::uint32_t count);

// A count the component gave for a number that cannot be trusted: beyond
// limit (kMaxNumberWords, or the buffer that was handed over).
MaybeFailure CheckCount(std::uint32_t count, std::uint32_t limit, const char* call);

// One number of the key: a size query, then the number into a zero-filled
// buffer of that size. count is the caller's variable: the size query starts
// from whatever it holds, and it ends holding the words written.
Result<std::vector<std::uint32_t>> ReadKeyNumber(IUserRSA& rsa, KeyNumberGetter getter, const char* getterName,
                                                 std::uint32_t& count);

}  // namespace harness
