// The eight numbers of an RSA key, in the order of the interface's getters
// and setters. Any of them may be absent (null) in a key built by setters.
#pragma once

#include "openssl_handles.h"

#include <array>
#include <cstddef>

namespace tarvel::component {

enum class RsaPart : std::size_t {
    Base,         // n = p * q
    PublicKey,    // e
    PrivateKey,   // d = e^-1 mod lcm(p - 1, q - 1)
    PrimeP,       // p, the larger prime
    PrimeQ,       // q
    ExponentP,    // d mod (p - 1)
    ExponentQ,    // d mod (q - 1)
    Coefficient,  // q^-1 mod p
};

inline constexpr std::size_t kRsaPartCount = 8;

struct RsaNumbers {
    std::array<BignumPtr, kRsaPartCount> parts;

    const BIGNUM* Get(RsaPart part) const { return parts[static_cast<std::size_t>(part)].get(); }
    void Set(RsaPart part, BignumPtr value) { parts[static_cast<std::size_t>(part)] = std::move(value); }
};

}  // namespace tarvel::component
