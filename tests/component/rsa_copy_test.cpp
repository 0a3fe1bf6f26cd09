// Reading a key number by number and building another object from it.
#include "component_objects.h"

#include <gtest/gtest.h>

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <memory>
#include <string>

namespace {

// What the get-set test of the RSA wizard does to copy a key.
void CopyKey(IUserRSA* from, IUserRSA* to)
{
    ASSERT_EQ(to->Clear(), S_OK);
    for (int i = 0; i < 8; ++i) {
        const std::vector<std::uint32_t> words = ReadPart(from, kRsaGetters[i]);
        ASSERT_EQ(WritePart(to, kRsaSetters[i], words), S_OK);
    }
    ASSERT_EQ(to->SetCode("60418", 5), S_OK);
    ASSERT_EQ(to->SetUserId("Second", 6), S_OK);
}

class RsaCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = NewRsa();
        target = NewRsa();
        ASSERT_EQ(source->GenerateKey("First", kWords), S_OK);
        n = ReadPartBn(source.Get(), &IUserRSA::GetBase);
        message.reset(BN_new());
        BN_rand_range(message.get(), n.get());
        cipher = Apply(source.Get(), true, message.get(), kWords);
    }

    static constexpr std::uint32_t kWords = 8;
    ComPtr<IUserRSA> source;
    ComPtr<IUserRSA> target;
    Bn n;
    Bn message;
    Bn cipher;
};

TEST_F(RsaCopy, GetterReportsSizeAndNeverWritesPastCapacity)
{
    std::uint32_t count = 0xFFFFFFFF;  // ignored when asking for the size
    ASSERT_EQ(source->GetPrivateKey(nullptr, &count), S_OK);
    const std::uint32_t needed = count;
    ASSERT_GT(needed, 1u);

    std::vector<std::uint32_t> buffer(needed + 2, 0xCAFEF00D);
    count = needed - 1;
    EXPECT_EQ(source->GetPrivateKey(buffer.data(), &count), kInsufficientBuffer);
    EXPECT_EQ(count, needed);
    EXPECT_EQ(buffer, std::vector<std::uint32_t>(needed + 2, 0xCAFEF00D));

    count = needed + 1;
    ASSERT_EQ(source->GetPrivateKey(buffer.data(), &count), S_OK);
    EXPECT_EQ(count, needed);
    EXPECT_EQ(buffer[needed], 0xCAFEF00Du) << "only the number's words are written";
    buffer.resize(needed);
    EXPECT_EQ(buffer, ReadPart(source.Get(), &IUserRSA::GetPrivateKey));
}

TEST_F(RsaCopy, CopiedKeyWorksExactlyLikeTheSource)
{
    CopyKey(source.Get(), target.Get());
    std::uint32_t length = 0;
    ASSERT_EQ(target->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, kWords);

    const Bn decrypted = Apply(target.Get(), false, cipher.get(), kWords);
    EXPECT_EQ(BN_cmp(decrypted.get(), message.get()), 0);
    const Bn encrypted = Apply(target.Get(), true, message.get(), kWords);
    EXPECT_EQ(BN_cmp(encrypted.get(), cipher.get()), 0);

    char text[16];
    std::uint32_t size = sizeof text;
    ASSERT_EQ(target->GetUserId(text, &size), S_OK);
    EXPECT_STREQ(text, "Second");
    size = sizeof text;
    ASSERT_EQ(target->GetCode(text, &size), S_OK);
    EXPECT_STREQ(text, "60418");
}

TEST_F(RsaCopy, DecryptsWithThePrivateKeyAloneWhenTheFactorsDoNotFit)
{
    CopyKey(source.Get(), target.Get());
    // A wrong CRT coefficient must not yield a wrong plaintext.
    std::vector<std::uint32_t> coefficient = ReadPart(source.Get(), &IUserRSA::GetKeyPart8);
    coefficient[0] ^= 1;
    ASSERT_EQ(target->SetKeyPart8(coefficient.data(), static_cast<std::uint32_t>(coefficient.size())), S_OK);
    Bn decrypted = Apply(target.Get(), false, cipher.get(), kWords);
    EXPECT_EQ(BN_cmp(decrypted.get(), message.get()), 0);

    // Nor do the factors matter when only n, e and d are there.
    ASSERT_EQ(target->Clear(), S_OK);
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::uint32_t> words = ReadPart(source.Get(), kRsaGetters[i]);
        ASSERT_EQ(WritePart(target.Get(), kRsaSetters[i], words), S_OK);
    }
    decrypted = Apply(target.Get(), false, cipher.get(), kWords);
    EXPECT_EQ(BN_cmp(decrypted.get(), message.get()), 0);
}

TEST_F(RsaCopy, SettersRefuseZeroExponentsAndKeepTheHeldOnes)
{
    // A zero number reads back as no words, just like an absent one, so a
    // key holding it could not be copied.
    CopyKey(source.Get(), target.Get());
    const std::vector<std::uint32_t> zeros[] = {{0}, {0, 0, 0}};
    for (RsaSetter setter : {&IUserRSA::SetPublicKey, &IUserRSA::SetPrivateKey})
        for (const std::vector<std::uint32_t>& zero : zeros)
            EXPECT_EQ(WritePart(target.Get(), setter, zero), E_INVALIDARG);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadPart(target.Get(), kRsaGetters[i]), ReadPart(source.Get(), kRsaGetters[i]));
    EXPECT_EQ(BN_cmp(Apply(target.Get(), false, cipher.get(), kWords).get(), message.get()), 0);
}

TEST_F(RsaCopy, ClearForgetsEverything)
{
    CopyKey(source.Get(), target.Get());
    ASSERT_EQ(target->Clear(), S_OK);
    for (RsaGetter getter : kRsaGetters)
        EXPECT_TRUE(ReadPart(target.Get(), getter).empty());
    std::uint32_t length = 1;
    EXPECT_EQ(target->GetUserId(nullptr, &length), S_OK);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(target->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, 0u);
}

TEST_F(RsaCopy, SettersRefuseOversizedValues)
{
    std::vector<std::uint32_t> big(257, 1);
    EXPECT_EQ(target->SetBase(big.data(), 257), E_INVALIDARG);
    std::string longText(5000, 'x');
    EXPECT_EQ(target->SetUserId(longText.c_str(), static_cast<std::uint32_t>(longText.size())), E_INVALIDARG);
    EXPECT_EQ(target->SetCode(nullptr, 0), S_OK) << "an empty text needs no buffer";
}

// Keys whose public exponent was changed after the fact: decryption must
// still be x^d mod n, whatever e says, and encryption x^e mod n.
TEST(RsaForeignExponent, DecryptsWithThePrivateKeyAloneWhenEDoesNotBelongToIt)
{
    std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> ctx(BN_CTX_new(), &BN_CTX_free);
    const auto disturbances = {
        +[](BIGNUM* e, const BIGNUM*) { BN_add_word(e, 2); },
        +[](BIGNUM* e, const BIGNUM*) { BN_set_word(e, 3); },
        +[](BIGNUM* e, const BIGNUM* n) {
            do
                BN_rand_range(e, n);
            while (BN_is_zero(e));
        },
    };
    for (std::uint32_t words : {1u, 2u, 5u, 16u}) {
        for (int round = 0; round < 2; ++round) {
            ComPtr<IUserRSA> key = NewRsa();
            ASSERT_EQ(key->GenerateKey("Fuzz", words), S_OK);
            const Bn n = ReadPartBn(key.Get(), &IUserRSA::GetBase);
            const Bn d = ReadPartBn(key.Get(), &IUserRSA::GetPrivateKey);
            for (const auto& disturb : disturbances) {
                ComPtr<IUserRSA> target = NewRsa();
                CopyKey(key.Get(), target.Get());
                Bn e = ReadPartBn(key.Get(), &IUserRSA::GetPublicKey);
                disturb(e.get(), n.get());
                ASSERT_EQ(WritePart(target.Get(), &IUserRSA::SetPublicKey,
                                    WordsFromBn(e.get(), static_cast<std::uint32_t>((BN_num_bits(e.get()) + 31) / 32))),
                          S_OK);
                Bn x(BN_new()), expected(BN_new());
                BN_rand_range(x.get(), n.get());
                const std::unique_ptr<char, void (*)(void*)> hex(BN_bn2hex(e.get()), [](void* p) { OPENSSL_free(p); });
                SCOPED_TRACE(std::to_string(words) + " words, e = " + hex.get());
                BN_mod_exp(expected.get(), x.get(), d.get(), n.get(), ctx.get());
                EXPECT_EQ(BN_cmp(Apply(target.Get(), false, x.get(), words).get(), expected.get()), 0);
                BN_mod_exp(expected.get(), x.get(), e.get(), n.get(), ctx.get());
                EXPECT_EQ(BN_cmp(Apply(target.Get(), true, x.get(), words).get(), expected.get()), 0);
            }
        }
    }
}

}  // namespace

// A key made elsewhere whose base leaves the top word partly empty (1000 bits
// in 32 words): the private operation must take the words as the number they
// are, refuse anything not below the base, and agree with d alone.
TEST(RsaForeignKey, PrivateOperationOnABaseThatDoesNotFillItsTopWord)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(EVP_RSA_gen(1000), &EVP_PKEY_free);
    ASSERT_TRUE(pkey);
    const char* names[8] = {OSSL_PKEY_PARAM_RSA_N,         OSSL_PKEY_PARAM_RSA_E,
                            OSSL_PKEY_PARAM_RSA_D,         OSSL_PKEY_PARAM_RSA_FACTOR1,
                            OSSL_PKEY_PARAM_RSA_FACTOR2,   OSSL_PKEY_PARAM_RSA_EXPONENT1,
                            OSSL_PKEY_PARAM_RSA_EXPONENT2, OSSL_PKEY_PARAM_RSA_COEFFICIENT1};
    constexpr std::uint32_t kWords = 32;
    ComPtr<IUserRSA> rsa = NewRsa();
    Bn parts[8];
    for (int i = 0; i < 8; ++i) {
        BIGNUM* part = nullptr;
        ASSERT_EQ(EVP_PKEY_get_bn_param(pkey.get(), names[i], &part), 1) << names[i];
        parts[i].reset(part);
        const auto count = static_cast<std::uint32_t>((BN_num_bits(part) + 31) / 32);
        ASSERT_EQ(WritePart(rsa.Get(), kRsaSetters[i], WordsFromBn(part, count)), S_OK) << names[i];
    }
    const BIGNUM* n = parts[0].get();
    const BIGNUM* d = parts[2].get();
    ASSERT_EQ(BN_num_bits(n), 1000);

    std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> ctx(BN_CTX_new(), &BN_CTX_free);
    Bn below(BN_dup(n)), random(BN_new()), expected(BN_new());
    BN_sub_word(below.get(), 1);
    BN_rand_range(random.get(), n);
    for (const BIGNUM* x : {static_cast<const BIGNUM*>(below.get()), static_cast<const BIGNUM*>(random.get())}) {
        BN_mod_exp(expected.get(), x, d, n, ctx.get());
        const Bn got = Apply(rsa.Get(), false, x, kWords);
        EXPECT_EQ(BN_cmp(got.get(), expected.get()), 0);
    }

    std::vector<std::uint32_t> out(kWords);
    std::uint32_t outWords = kWords;
    std::vector<std::uint32_t> in = WordsFromBn(n, kWords);
    EXPECT_EQ(rsa->Decrypt(in.data(), kWords, out.data(), &outWords), E_INVALIDARG) << "the base itself";
    in.assign(kWords, 0);
    in[kWords - 1] = 0x01000000;  // a byte above the base's 125
    EXPECT_EQ(rsa->Decrypt(in.data(), kWords, out.data(), &outWords), E_INVALIDARG) << "a byte above the base";
}
