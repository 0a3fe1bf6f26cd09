#include "common/hex_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string Hex(const std::vector<std::uint32_t>& words)
{
    return std::string(FormatHex(words.data(), static_cast<int>(words.size())));
}

TEST(FormatHex, PrintsTheWordsAsOneNumberMostSignificantByteFirst)
{
    EXPECT_EQ(Hex({}), "");
    EXPECT_EQ(Hex({0x0A0B0C0D}), "0a0b0c0d ");
    EXPECT_EQ(Hex({0x03020100, 0x07060504}), "0706050403020100 ");
    EXPECT_EQ(Hex({0x03020100, 0x07060504, 0x0B0A0908}), "0b0a0908 0706050403020100 ");
    EXPECT_EQ(Hex({0x03020100, 0x07060504, 0x0B0A0908, 0x0F0E0D0C, 0x13121110}),
              "13121110 0f0e0d0c0b0a0908 0706050403020100 ");
}

TEST(FormatHex, NothingForAnEmptyOrNegativeCount)
{
    const std::uint32_t word = 0xFFFFFFFF;
    EXPECT_EQ(std::string(FormatHex(&word, 0)), "");
    EXPECT_EQ(std::string(FormatHex(&word, -3)), "");
}

TEST(FormatHex, LengthGrowsByEightDigitsAWordAndABlankEveryTwoWords)
{
    const std::pair<int, std::size_t> expected[] = {{1, 9}, {2, 17}, {4, 34}, {5, 43}, {10, 85}};
    for (const auto& [count, length] : expected) {
        const std::vector<std::uint32_t> words(static_cast<std::size_t>(count), 0xDEADBEEF);
        const std::string text = Hex(words);
        EXPECT_EQ(text.size(), length) << count << " words";
        EXPECT_EQ(text.back(), ' ') << count << " words";
        EXPECT_EQ(text.find_first_not_of("0123456789abcdef "), std::string::npos) << text;
    }
}

TEST(FormatHex, BytesHeldInWordsPrintLastByteFirstWithLeadingZeros)
{
    std::uint8_t digest[16];
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<std::uint8_t>(i == 15 ? 0xAB : i);
    std::uint32_t words[4];
    std::memcpy(words, digest, sizeof words);
    EXPECT_EQ(std::string(FormatHex(words, 4)), "ab0e0d0c0b0a0908 0706050403020100 ");
}

TEST(HexBytes, SpellsEachByteInItsOwnOrderWithoutSeparators)
{
    const std::uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff, 0x7e};
    EXPECT_EQ(HexBytes(bytes, 0), "");
    EXPECT_EQ(HexBytes(nullptr, 0), "");
    EXPECT_EQ(HexBytes(bytes, 1), "00");
    EXPECT_EQ(HexBytes(bytes, sizeof bytes), "000fa0ff7e");
    std::string text = "%";
    AppendHexByte(text, 0x1b);
    EXPECT_EQ(text, "%1b");
}

// Hex read back: what every checker file (known answers, records, replay
// bundles) spells bytes in, either case, and nothing else.
TEST(BytesFromHex, ReadsTwoDigitsAByteAndRefusesAnythingElse)
{
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        const char* hex;
        std::optional<Bytes> bytes;
    } cases[] = {
        {"", Bytes{}},          {"00ff7E", Bytes{0x00, 0xff, 0x7e}},
        {"0", std::nullopt},    {"0g", std::nullopt},
        {"12 4", std::nullopt}, {"-1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesFromHex(c.hex), c.bytes) << c.hex;
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('/'), -1);
}

}  // namespace
