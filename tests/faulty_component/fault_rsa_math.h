// Raw RSA done wrong on purpose, over the numbers the inner object holds.
#pragma once

#include <tarvel/crypto.h>

#include <cstdint>

namespace faulty {

// m^65537 mod n, whatever public exponent the key has.
HRESULT EncryptWithFixedExponent(IUserRSA& inner, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                                 std::uint32_t* outWords);
// Decrypt through p, q, d mod (p-1), d mod (q-1) and q^-1 mod p as the
// getters give them, never checked against n, d or e.
HRESULT DecryptTrustingCrt(IUserRSA& inner, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                           std::uint32_t* outWords);

}  // namespace faulty
