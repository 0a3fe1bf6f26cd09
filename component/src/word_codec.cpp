#include "word_codec.h"

#include "secure_bytes.h"

#include <new>
#include <stdexcept>

namespace tarvel::component {

BignumPtr WordsToBignum(const std::uint32_t* words, std::uint32_t count)
{
    // Spelled out byte by byte so the result does not depend on the host's
    // byte order; the words themselves are in host order.
    SecureBytes bytes(std::size_t{count} * 4);
    for (std::uint32_t i = 0; i < count; ++i)
        for (int b = 0; b < 4; ++b)
            bytes.data()[std::size_t{i} * 4 + b] = static_cast<unsigned char>(words[i] >> (8 * b));
    BignumPtr number = NewBignum();
    if (!BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), number.get()))
        throw std::bad_alloc();
    return number;
}

std::uint32_t WordCount(const BIGNUM* number)
{
    return static_cast<std::uint32_t>((BN_num_bits(number) + 31) / 32);
}

void BignumToWords(const BIGNUM* number, std::uint32_t* words, std::uint32_t count)
{
    SecureBytes bytes(std::size_t{count} * 4);
    if (BN_bn2lebinpad(number, bytes.data(), static_cast<int>(bytes.size())) < 0)
        throw std::length_error("number does not fit");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t word = 0;
        for (int b = 0; b < 4; ++b)
            word |= std::uint32_t{bytes.data()[std::size_t{i} * 4 + b]} << (8 * b);
        words[i] = word;
    }
}

bool WordsToBigEndian(const std::uint32_t* words, std::uint32_t count, unsigned char* bytes, std::size_t size)
{
    // Byte i counts from the least significant end, as the words do.
    const std::size_t total = std::size_t{count} * 4;
    for (std::size_t i = size; i < total; ++i)
        if ((words[i / 4] >> (8 * (i % 4))) & 0xFF)
            return false;
    for (std::size_t i = 0; i < size && i < total; ++i)
        bytes[size - 1 - i] = static_cast<unsigned char>(words[i / 4] >> (8 * (i % 4)));
    for (std::size_t i = total; i < size; ++i)
        bytes[size - 1 - i] = 0;
    return true;
}

void BigEndianToWords(const unsigned char* bytes, std::size_t size, std::uint32_t* words, std::uint32_t count)
{
    for (std::uint32_t w = 0; w < count; ++w)
        words[w] = 0;
    for (std::size_t i = 0; i < size; ++i)
        words[i / 4] |= std::uint32_t{bytes[size - 1 - i]} << (8 * (i % 4));
}

}  // namespace tarvel::component
