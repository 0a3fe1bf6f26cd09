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

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<std::uint8_t>> BytesFromHex(std::string_view hex)
{
    if (hex.size() % 2)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigitValue(hex[2 * i]), low = HexDigitValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}
