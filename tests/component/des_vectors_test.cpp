// Single DES against published known answers, through the interface.
#include "component_objects.h"
#include "vector_file.h"

#include <common/hex_format.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

// Vector bytes are the two words' bytes in memory order.
std::array<std::uint32_t, 2> WordsOf(const VectorRecord& vector, std::string_view field)
{
    const std::vector<std::uint8_t> bytes = FieldBytes(vector, field);
    std::array<std::uint32_t, 2> words{};
    EXPECT_EQ(bytes.size(), sizeof words);
    std::memcpy(words.data(), bytes.data(), sizeof words);
    return words;
}

std::string HexOfWords(const std::array<std::uint32_t, 2>& words)
{
    return HexBytes(words.data(), sizeof words);
}

}  // namespace

TEST(Des, EncryptsAndDecryptsKnownAnswers)
{
    ComPtr<IUserDES> des = NewDes();
    int checked = 0;
    for (const VectorRecord& vector : ReadVectorFile("des.vec")) {
        SCOPED_TRACE("des.vec vector at line " + std::to_string(vector.line));
        const auto key = WordsOf(vector, "Key");
        ASSERT_EQ(des->SetKey(key.data()), S_OK);

        auto block = WordsOf(vector, "In");
        ASSERT_EQ(des->Encrypt(block.data()), S_OK);
        EXPECT_EQ(HexOfWords(block), Field(vector, "Out"));
        ASSERT_EQ(des->Decrypt(block.data()), S_OK);
        EXPECT_EQ(HexOfWords(block), Field(vector, "In"));

        std::array<std::uint32_t, 2> held{};
        ASSERT_EQ(des->GetKey(held.data()), S_OK);
        EXPECT_EQ(held, key);
        ++checked;
    }
    EXPECT_GE(checked, 5);
}

TEST(Des, IgnoresParityBits)
{
    // Flipping the low bit of every key byte changes only the parity bits.
    ComPtr<IUserDES> des = NewDes();
    const std::array<std::uint32_t, 2> key = {0x79573413, 0xF1DFBC9B};
    const std::array<std::uint32_t, 2> flipped = {key[0] ^ 0x01010101, key[1] ^ 0x01010101};
    const std::array<std::uint32_t, 2> plain = {0x67452301, 0xEFCDAB89};

    auto a = plain;
    ASSERT_EQ(des->SetKey(key.data()), S_OK);
    ASSERT_EQ(des->Encrypt(a.data()), S_OK);
    auto b = plain;
    ASSERT_EQ(des->SetKey(flipped.data()), S_OK);
    ASSERT_EQ(des->Encrypt(b.data()), S_OK);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, plain);
}

TEST(Des, RefusesWorkWithoutKeyOrBuffer)
{
    ComPtr<IUserDES> des = NewDes();
    std::array<std::uint32_t, 2> block = {1, 2};
    EXPECT_LT(des->Encrypt(block.data()), 0);
    EXPECT_LT(des->Decrypt(block.data()), 0);
    EXPECT_LT(des->GetKey(block.data()), 0);
    EXPECT_EQ(block, (std::array<std::uint32_t, 2>{1, 2}));

    EXPECT_EQ(des->SetKey(nullptr), E_POINTER);
    const std::array<std::uint32_t, 2> key = {3, 4};
    ASSERT_EQ(des->SetKey(key.data()), S_OK);
    EXPECT_EQ(des->Encrypt(nullptr), E_POINTER);
    EXPECT_EQ(des->Decrypt(nullptr), E_POINTER);
    EXPECT_EQ(des->GetKey(nullptr), E_POINTER);
}
