#include "suites/number_words.h"

#include <algorithm>

namespace checks::support {

Bignum ToBignum(const Words& words)
{
    Bytes bytes(4 * words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        for (int k = 0; k < 4; ++k)
            bytes[4 * i + k] = static_cast<std::uint8_t>(words[i] >> (8 * k));
    return Bignum(BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

Words FromBignum(const BIGNUM* bn, std::size_t minWords)
{
    const std::size_t words = std::max<std::size_t>(minWords, (BN_num_bytes(bn) + 3) / 4);
    Bytes bytes(4 * words);
    BN_bn2lebinpad(bn, bytes.data(), static_cast<int>(bytes.size()));
    Words out(words);
    for (std::size_t i = 0; i < words; ++i)
        out[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 | std::uint32_t(bytes[4 * i + 3]) << 24;
    return out;
}

Words WordsFromBigEndian(const Bytes& bytes, std::size_t minWords)
{
    Bignum bn(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
    return FromBignum(bn.get(), minWords);
}

Bytes BigEndianBytes(const Words& words, std::size_t count)
{
    Bytes bytes(4 * count, 0);
    for (std::size_t i = 0; i < count && i < words.size(); ++i)
        for (int k = 0; k < 4; ++k)
            bytes[bytes.size() - 1 - (4 * i + k)] = static_cast<std::uint8_t>(words[i] >> (8 * k));
    return bytes;
}

}  // namespace checks::support
