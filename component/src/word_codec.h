// Numbers cross the interface as arrays of 32-bit words, least significant
// word first; inside they are OpenSSL numbers.
#pragma once

#include "openssl_handles.h"

#include <cstddef>
#include <cstdint>

namespace tarvel::component {

BignumPtr WordsToBignum(const std::uint32_t* words, std::uint32_t count);

// Words needed for the number without leading zero words (0 for zero).
std::uint32_t WordCount(const BIGNUM* number);

// Writes the number into exactly count words, zero-filled at the top; the
// caller ensures count >= WordCount(number).
void BignumToWords(const BIGNUM* number, std::uint32_t* words, std::uint32_t count);

// The low `size` bytes of the number in `count` words, big-endian, as raw RSA
// in OpenSSL takes it; false when a byte above them is not zero.
bool WordsToBigEndian(const std::uint32_t* words, std::uint32_t count, unsigned char* bytes, std::size_t size);

// `size` big-endian bytes into exactly count words, zero-filled at the top;
// the caller ensures size <= 4 * count.
void BigEndianToWords(const unsigned char* bytes, std::size_t size, std::uint32_t* words, std::uint32_t count);

}  // namespace tarvel::component
