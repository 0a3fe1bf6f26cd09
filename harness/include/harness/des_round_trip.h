// The DES test's round trip: one two-word block encrypted and decrypted in
// place under a two-word key.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <array>
#include <cstdint>
#include <optional>

namespace harness {

using DesWords = std::array<std::uint32_t, 2>;

// SetKey, Encrypt, Decrypt. A failed call leaves the block in no known
// state, so nothing from that step on is a result.
struct DesRoundTrip {
    std::optional<DesWords> encoded;
    std::optional<DesWords> decoded;
    MaybeFailure failure;
};
DesRoundTrip RunDesRoundTrip(IUserDES& des, const DesWords& key, const DesWords& data);

}  // namespace harness
