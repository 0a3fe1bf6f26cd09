#include "common/hex_format.h"

namespace {

std::uint8_t ByteAt(const std::uint32_t* words, int index)
{
    return static_cast<std::uint8_t>(words[index / 4] >> (8 * (index % 4)));
}

}  // namespace

void AppendHexByte(std::string& text, std::uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
}

std::string HexBytes(const void* data, std::size_t count)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::string text;
    text.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i)
        AppendHexByte(text, bytes[i]);
    return text;
}

CString FormatHex(const std::uint32_t* words, int count)
{
    if (count <= 0 || !words)
        return CString();
    const int bytes = 4 * count;
    std::string text;
    text.reserve(static_cast<std::size_t>(2 * bytes + (count + 1) / 2));
    for (int i = bytes - 1; i >= 0; --i) {
        AppendHexByte(text, ByteAt(words, i));
        if (i % 8 == 0)
            text += ' ';
    }
    return CString(std::move(text));
}
