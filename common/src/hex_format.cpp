#include "common/hex_format.h"

#include <string>

namespace {

std::uint8_t ByteAt(const std::uint32_t* words, int index)
{
    return static_cast<std::uint8_t>(words[index / 4] >> (8 * (index % 4)));
}

}  // namespace

CString FormatHex(const std::uint32_t* words, int count)
{
    if (count <= 0 || !words)
        return CString();
    static constexpr char kDigits[] = "0123456789abcdef";
    const int bytes = 4 * count;
    std::string text;
    text.reserve(static_cast<std::size_t>(2 * bytes + (count + 1) / 2));
    for (int i = bytes - 1; i >= 0; --i) {
        const std::uint8_t b = ByteAt(words, i);
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
        if (i % 8 == 0)
            text += ' ';
    }
    return CString(std::move(text));
}
