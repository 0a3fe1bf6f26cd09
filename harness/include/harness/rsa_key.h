// The RSA Wizard's key sequences: generating a key timed, copying it into a
// second object number by number, and fetching the numbers it shows.
#pragma once

#include "harness/key_numbers.h"
#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace harness {

// GenerateKey between two tick counts: the elapsed milliseconds (unsigned
// difference; the wizard shows it as a signed number).
Result<std::uint32_t> GenerateKeyTimed(IUserRSA& rsa, const char* userId, std::uint32_t keyWords);

// The get-set copy: Clear on target, then the eight numbers from base to
// part 8, each read from source and set on target with the count read, then
// SetCode "60418" and SetUserId "Second". Stops at the first failure.
Result<Done> CopyKey(IUserRSA& source, IUserRSA& target);

// The three numbers the key display shows, read in the order base, public
// key, private key through one shared count (each size query starts from the
// count the row before left). Those read before a failure are kept.
struct DisplayedKey {
    std::optional<std::vector<std::uint32_t>> base;
    std::optional<std::vector<std::uint32_t>> publicKey;
    std::optional<std::vector<std::uint32_t>> privateKey;
    MaybeFailure failure;
};
DisplayedKey FetchDisplayedKey(IUserRSA& rsa);

}  // namespace harness
