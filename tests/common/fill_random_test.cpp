#include "common/fill_random.h"

#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(FillRandom, FirstDrawLandsInTheLastByteAndTheLastDrawInTheFirst)
{
    crt::srand(7);
    int drawn[8];
    for (int& value : drawn)
        value = crt::rand() & 0xFF;
    const int ninth = crt::rand();

    crt::srand(7);
    std::uint32_t words[2] = {};
    FillRandom(words, 2);
    const auto byte = [&](int k) { return static_cast<int>((words[k / 4] >> (8 * (k % 4))) & 0xFF); };
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(byte(k), drawn[7 - k]) << "byte " << k;
    EXPECT_EQ(crt::rand(), ninth) << "exactly eight values drawn";
}

TEST(FillRandom, AnEmptyOrNegativeCountDrawsAndWritesNothing)
{
    crt::srand(11);
    const int first = crt::rand();
    crt::srand(11);
    std::uint32_t word = 0x12345678;
    FillRandom(&word, 0);
    FillRandom(&word, -1);
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(crt::rand(), first);
}

}  // namespace
