// The component's numbers (32-bit words, least significant first) as
// OpenSSL numbers and big-endian bytes, for the checks and the bench alike.
#pragma once

#include <component/openssl_ptr.h>

#include <openssl/bn.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace checks::support {

using Words = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;
using Bignum = tarvel::OpenSslPtr<BIGNUM, BN_free>;

// Null only when OpenSSL cannot allocate.
Bignum ToBignum(const Words& words);
// Minimal word count (0 words for zero), or at least minWords.
Words FromBignum(const BIGNUM* bn, std::size_t minWords = 0);
Words WordsFromBigEndian(const Bytes& bytes, std::size_t minWords = 0);
// Exactly 4 * count bytes: the low count words, zero-padded at the top.
Bytes BigEndianBytes(const Words& words, std::size_t count);

}  // namespace checks::support
