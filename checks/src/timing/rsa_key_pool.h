// RSA keys made for the timing tests with OpenSSL, each with everything the
// three subjects need made up front: the eight numbers the component's
// setters take, OpenSSL's key and private-operation context, and the
// Montgomery context of the modulus for the textbook control.
#pragma once

#include "bench/openssl_reference.h"
#include "suites/number_words.h"

#include <component/openssl_ptr.h>

#include <openssl/bn.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace timing {

using checks::support::Bignum;
using checks::support::Words;
using MontPtr = tarvel::OpenSslPtr<BN_MONT_CTX, BN_MONT_CTX_free>;

struct RsaKey {
    std::size_t words = 0;
    // Getter order: n, e, d, p, q, d mod (p-1), d mod (q-1), q^-1 mod p.
    std::array<Words, 8> numbers;
    Bignum n, d, p;
    MontPtr montN;
    tarvel::PkeyPtr pkey;
    std::unique_ptr<bench::RawRsa> privateOperation;
    int privateWeight = 0;  // set bits of d
};

// count keys of exactly 32 * words bits with e = 65537; empty with error
// set when OpenSSL fails.
std::vector<RsaKey> MakeRsaKeys(std::size_t words, std::size_t count, std::string& error);

// The index of the key whose d has the fewest set bits.
std::size_t LightestKey(const std::vector<RsaKey>& keys);

}  // namespace timing
