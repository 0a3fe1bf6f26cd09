// Reading the numbers of an RSA key: a size query, then the number into a
// buffer of that size, with every count the component gives checked before
// it is believed.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <vector>

namespace harness {

// The longest count of words the harness believes a component gives for one
// number: a larger one is taken as a fault rather than as a buffer to
// allocate. It bounds what is read, not what a key may be (the bundled
// component keeps keys far shorter).
inline constexpr std::uint32_t kMostWordsBelieved = 1u << 20;

using KeyNumberGetter = HRESULT (IUserRSA::*)(std::uint32_t* words, std::uint32_t* count);
using KeyNumberSetter = HRESULT (IUserRSA::*)(const std::uint32_t* words, std::uint32_t count);

// A count the component gave for a number that cannot be trusted: beyond
// limit (kMostWordsBelieved, or the buffer that was handed over).
MaybeFailure CheckCount(std::uint32_t count, std::uint32_t limit, const char* call);

// One number of the key: a size query, then the number into a zero-filled
// buffer of that size. count is the caller's variable: the size query starts
// from whatever it holds, and it ends holding the words written.
Result<std::vector<std::uint32_t>> ReadKeyNumber(IUserRSA& rsa, KeyNumberGetter getter, const char* getterName,
                                                 std::uint32_t& count);

}  // namespace harness
