// The RSA Wizard's round trip: random data of the key's length kept below
// its base, encrypted and decrypted with the times of both calls.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace harness {

// GetKeyLength, GetBase into a buffer of that length, then that many words
// from FillRandom lowered below the base (KeepBelowBase). Fails when the
// object holds no key or the base leaves no room for data.
Result<std::vector<std::uint32_t>> MakeRoundTripData(IUserRSA& rsa);

// Encrypt of data between two tick counts, then Decrypt of what came out
// between two more. Each block has the data's word count; what was got
// before a failure is kept.
struct RsaRoundTrip {
    std::optional<std::vector<std::uint32_t>> encoded;
    std::uint32_t encryptMilliseconds = 0;
    std::optional<std::vector<std::uint32_t>> decoded;
    std::uint32_t decryptMilliseconds = 0;
    MaybeFailure failure;
};
RsaRoundTrip RunRoundTrip(IUserRSA& rsa, std::span<const std::uint32_t> data);

}  // namespace harness
