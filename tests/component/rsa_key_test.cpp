// Key generation and raw RSA, checked with OpenSSL arithmetic.
#include "component_objects.h"

#include <gtest/gtest.h>

#include <openssl/bn.h>

#include <cstring>

namespace {

struct CtxFree {
    void operator()(BN_CTX* p) const { BN_CTX_free(p); }
};

class RsaKeySize : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override
    {
        rsa = NewRsa();
        ASSERT_EQ(rsa->GenerateKey("Alice", GetParam()), S_OK);
        n = ReadPartBn(rsa.Get(), &IUserRSA::GetBase);
    }

    std::uint32_t KeyWords() const { return GetParam(); }

    ComPtr<IUserRSA> rsa;
    Bn n;
    std::unique_ptr<BN_CTX, CtxFree> ctx{BN_CTX_new()};
};

TEST_P(RsaKeySize, GeneratesASoundKeyOfExactlyTheAskedSize)
{
    std::uint32_t length = 0;
    ASSERT_EQ(rsa->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, KeyWords());
    EXPECT_EQ(BN_num_bits(n.get()), static_cast<int>(32 * KeyWords()));

    Bn part[8];
    for (int i = 0; i < 8; ++i) {
        const std::vector<std::uint32_t> words = ReadPart(rsa.Get(), kRsaGetters[i]);
        ASSERT_FALSE(words.empty()) << "number " << i;
        EXPECT_NE(words.back(), 0u) << "number " << i << " is not in its minimal word count";
        part[i] = BnFromWords(words);
    }
    const BIGNUM *e = part[1].get(), *d = part[2].get(), *p = part[3].get(), *q = part[4].get();
    EXPECT_TRUE(BN_is_word(e, 65537));
    EXPECT_EQ(BN_check_prime(p, ctx.get(), nullptr), 1);
    EXPECT_EQ(BN_check_prime(q, ctx.get(), nullptr), 1);
    EXPECT_NE(BN_cmp(p, q), 0);

    Bn t(BN_new()), p1(BN_dup(p)), q1(BN_dup(q)), gcd(BN_new()), lcm(BN_new());
    BN_mul(t.get(), p, q, ctx.get());
    EXPECT_EQ(BN_cmp(t.get(), n.get()), 0) << "n = p * q";
    BN_sub_word(p1.get(), 1);
    BN_sub_word(q1.get(), 1);
    BN_gcd(gcd.get(), p1.get(), q1.get(), ctx.get());
    BN_mul(t.get(), p1.get(), q1.get(), ctx.get());
    BN_div(lcm.get(), nullptr, t.get(), gcd.get(), ctx.get());
    BN_mod_mul(t.get(), e, d, lcm.get(), ctx.get());
    EXPECT_TRUE(BN_is_one(t.get())) << "e * d = 1 mod lcm(p - 1, q - 1)";
    BN_mod(t.get(), d, p1.get(), ctx.get());
    EXPECT_EQ(BN_cmp(t.get(), part[5].get()), 0) << "d mod (p - 1)";
    BN_mod(t.get(), d, q1.get(), ctx.get());
    EXPECT_EQ(BN_cmp(t.get(), part[6].get()), 0) << "d mod (q - 1)";
    BN_mod_mul(t.get(), part[7].get(), q, p, ctx.get());
    EXPECT_TRUE(BN_is_one(t.get())) << "q^-1 mod p";
}

TEST_P(RsaKeySize, RoundTripsEdgeAndRandomValues)
{
    const Bn e = ReadPartBn(rsa.Get(), &IUserRSA::GetPublicKey);
    std::vector<Bn> values;
    values.emplace_back(BN_new());  // 0
    values.emplace_back(BN_dup(BN_value_one()));
    values.emplace_back(BN_dup(n.get()));
    BN_sub_word(values.back().get(), 1);
    for (int i = 0; i < 3; ++i) {
        values.emplace_back(BN_new());
        BN_rand_range(values.back().get(), n.get());
    }
    for (const Bn& m : values) {
        const Bn c = Apply(rsa.Get(), true, m.get(), KeyWords());
        Bn expected(BN_new());
        BN_mod_exp(expected.get(), m.get(), e.get(), n.get(), ctx.get());
        EXPECT_EQ(BN_cmp(c.get(), expected.get()), 0) << "c = m^e mod n";
        const Bn back = Apply(rsa.Get(), false, c.get(), KeyWords());
        EXPECT_EQ(BN_cmp(back.get(), m.get()), 0) << "decrypt(encrypt(m)) = m";
    }
}

TEST_P(RsaKeySize, RefusesInputsOfWrongSizeOrValue)
{
    const std::uint32_t words = KeyWords();
    std::vector<std::uint32_t> in = WordsFromBn(n.get(), words);  // n itself is not below n
    std::vector<std::uint32_t> out(words + 1, 0x5A5A5A5A);
    std::uint32_t outWords = words;
    EXPECT_EQ(rsa->Encrypt(in.data(), words, out.data(), &outWords), E_INVALIDARG);
    EXPECT_EQ(rsa->Decrypt(in.data(), words, out.data(), &outWords), E_INVALIDARG);

    in.assign(words + 1, 0);
    EXPECT_EQ(rsa->Encrypt(in.data(), words - 1, out.data(), &outWords), E_INVALIDARG);
    EXPECT_EQ(rsa->Encrypt(in.data(), words + 1, out.data(), &outWords), E_INVALIDARG);

    outWords = words - 1;
    EXPECT_EQ(rsa->Decrypt(in.data(), words, out.data(), &outWords), kInsufficientBuffer);
    EXPECT_EQ(outWords, words) << "the needed capacity is reported";
    EXPECT_EQ(out, std::vector<std::uint32_t>(words + 1, 0x5A5A5A5A)) << "nothing was written";
}

INSTANTIATE_TEST_SUITE_P(KeyWords, RsaKeySize, ::testing::Values(1u, 2u, 3u, 16u, 64u));

TEST(Rsa, EncryptsInPlace)
{
    ComPtr<IUserRSA> rsa = NewRsa();
    ASSERT_EQ(rsa->GenerateKey("Alice", 4), S_OK);
    std::uint32_t block[4] = {7, 0, 0, 0};
    std::uint32_t count = 4;
    ASSERT_EQ(rsa->Encrypt(block, 4, block, &count), S_OK);
    ASSERT_EQ(rsa->Decrypt(block, 4, block, &count), S_OK);
    EXPECT_EQ(block[0], 7u);
    EXPECT_EQ(block[1] | block[2] | block[3], 0u);
}

TEST(Rsa, RefusesKeyLengthsOutOfRangeAndKeepsTheHeldKey)
{
    ComPtr<IUserRSA> rsa = NewRsa();
    ASSERT_EQ(rsa->GenerateKey("Alice", 2), S_OK);
    const std::vector<std::uint32_t> before = ReadPart(rsa.Get(), &IUserRSA::GetBase);

    EXPECT_EQ(rsa->GenerateKey("Bob", 0), E_INVALIDARG);
    EXPECT_EQ(rsa->GenerateKey("Bob", 257), E_INVALIDARG);
    EXPECT_EQ(rsa->GenerateKey(nullptr, 2), E_POINTER);
    EXPECT_EQ(ReadPart(rsa.Get(), &IUserRSA::GetBase), before);
    char id[16] = {};
    std::uint32_t length = sizeof id;
    ASSERT_EQ(rsa->GetUserId(id, &length), S_OK);
    EXPECT_STREQ(id, "Alice");
}

TEST(Rsa, WithoutAKeyReportsZeroCountsAndRefusesWork)
{
    ComPtr<IUserRSA> rsa = NewRsa();
    std::uint32_t length = 99;
    ASSERT_EQ(rsa->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, 0u);
    for (RsaGetter getter : kRsaGetters) {
        std::uint32_t count = 99;
        EXPECT_EQ((rsa.Get()->*getter)(nullptr, &count), S_OK);
        EXPECT_EQ(count, 0u);
    }
    std::uint32_t in[1] = {1}, out[1] = {0};
    std::uint32_t outWords = 1;
    EXPECT_LT(rsa->Encrypt(in, 1, out, &outWords), 0);
    EXPECT_LT(rsa->Decrypt(in, 1, out, &outWords), 0);
}

TEST(Rsa, RefusesNullPointers)
{
    ComPtr<IUserRSA> rsa = NewRsa();
    ASSERT_EQ(rsa->GenerateKey("Alice", 1), S_OK);
    std::uint32_t word = 1, count = 1;
    EXPECT_EQ(rsa->GetKeyLength(nullptr), E_POINTER);
    EXPECT_EQ(rsa->Encrypt(nullptr, 1, &word, &count), E_POINTER);
    EXPECT_EQ(rsa->Encrypt(&word, 1, nullptr, &count), E_POINTER);
    EXPECT_EQ(rsa->Decrypt(&word, 1, &word, nullptr), E_POINTER);
    EXPECT_EQ(rsa->GetBase(&word, nullptr), E_POINTER);
    EXPECT_EQ(rsa->SetBase(nullptr, 1), E_POINTER);
    EXPECT_EQ(rsa->SetUserId(nullptr, 1), E_POINTER);
    EXPECT_EQ(rsa->GetCode(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(rsa->SaveWkyFile(nullptr), E_POINTER);
    EXPECT_EQ(rsa->LoadAsyFile(nullptr), E_POINTER);
}

TEST(Rsa, HandsOutTextsWithTheNumbersSizeProtocol)
{
    ComPtr<IUserRSA> rsa = NewRsa();
    ASSERT_EQ(rsa->GenerateKey("Alice", 1), S_OK);
    std::uint32_t length = 0;
    ASSERT_EQ(rsa->GetUserId(nullptr, &length), S_OK);
    EXPECT_EQ(length, 5u);

    char text[8];
    std::memset(text, '#', sizeof text);
    length = 5;  // no room for the terminator
    EXPECT_EQ(rsa->GetUserId(text, &length), kInsufficientBuffer);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(text[0], '#');

    length = 6;
    ASSERT_EQ(rsa->GetUserId(text, &length), S_OK);
    EXPECT_EQ(length, 5u);
    EXPECT_STREQ(text, "Alice");

    ASSERT_EQ(rsa->SetCode("60418", 5), S_OK);
    length = sizeof text;
    ASSERT_EQ(rsa->GetCode(text, &length), S_OK);
    EXPECT_STREQ(text, "60418");
}

}  // namespace
