#include "harness/below_base.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using harness::IsBelow;
using harness::KeepBelowBase;

using Words = std::vector<std::uint32_t>;

const Words kBase = {0x00000005, 0x80000000};

// data as KeepBelowBase leaves it; the call must succeed.
Words KeptBelow(Words data, const Words& base)
{
    EXPECT_TRUE(KeepBelowBase(data, base));
    return data;
}

TEST(KeepBelowBase, LeavesDataAlreadyBelowTheBaseAlone)
{
    EXPECT_EQ(KeptBelow({0xFFFFFFFF, 0x7FFFFFFF}, kBase), (Words{0xFFFFFFFF, 0x7FFFFFFF}));
    // Same top word, lower words smaller: already below as a whole number.
    EXPECT_EQ(KeptBelow({0x00000004, 0x80000000}, kBase), (Words{0x00000004, 0x80000000}));
}

TEST(KeepBelowBase, LowersTheTopWordWhenTheDataIsNotBelow)
{
    EXPECT_EQ(KeptBelow({0x12345678, 0x9ABCDEF0}, kBase), (Words{0x12345678, 0x7FFFFFFF}));
    // Equal top words with a larger low word are not below either.
    EXPECT_EQ(KeptBelow({0x00000006, 0x80000000}, kBase), (Words{0x00000006, 0x7FFFFFFF}));
    EXPECT_TRUE(IsBelow(KeptBelow(kBase, kBase), kBase));
}

TEST(KeepBelowBase, BaseWithZeroTopWordsKeepsTheDataBelowWithoutWrapping)
{
    const Words base = {0x00000009, 0x00000003, 0x00000000};
    Words data = {0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC};
    ASSERT_TRUE(KeepBelowBase(data, base));
    EXPECT_EQ(data, (Words{0xAAAAAAAA, 0x00000002, 0x00000000}));
    EXPECT_TRUE(IsBelow(data, base));
}

TEST(KeepBelowBase, RefusesABaseOfZeroOrOne)
{
    Words data = {0x11111111, 0x22222222};
    EXPECT_FALSE(KeepBelowBase(data, Words{0, 0}));
    EXPECT_FALSE(KeepBelowBase(data, Words{1, 0}));
    EXPECT_EQ(data, (Words{0x11111111, 0x22222222}));

    Words one = {7};
    ASSERT_TRUE(KeepBelowBase(one, Words{2}));
    EXPECT_EQ(one, Words{1});
}

}  // namespace
