// Seeded random inputs, each answer compared with OpenSSL's. The inputs
// follow from the check's seed alone, so --seed replays a run exactly; the
// first mismatch stops the check with its case, its seed and its input.
#include "suites/set_key_checks.h"
#include "suites/support.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <checks/suites.h>

#include <algorithm>

namespace checks {
namespace {

using support::Bytes;
using support::Hex;
using support::Words;
using vectors::Block;

// Messages longer than this are shown by their two ends; --seed gives them
// whole.
constexpr std::size_t kShownMessageBytes = 1024;
constexpr std::size_t kShownEndBytes = 64;
constexpr std::size_t kLongestMessage = 20 * 1024;

// Cases per level: quick, standard, and ten times standard at thorough.
std::size_t Cases(const Context& ctx, std::size_t quick, std::size_t standard)
{
    switch (ctx.Options().level) {
    case Level::Quick:
        return quick;
    case Level::Standard:
        return standard;
    case Level::Thorough:
        break;
    }
    return 10 * standard;
}

std::string CaseName(const Context& ctx, std::size_t index, std::size_t cases)
{
    return "case " + std::to_string(index + 1) + " of " + std::to_string(cases) + " (check seed " +
           std::to_string(ctx.Seed()) + ")";
}

Block RandomBlock(std::mt19937_64& random)
{
    Block block;
    const std::uint64_t bits = random();
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return block;
}

void CheckDes(Context& ctx)
{
    const auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    if (!des)
        return;
    vectors::DesProbe probe(ctx, *des.Get());
    auto random = support::Generator(ctx);
    const std::size_t cases = Cases(ctx, 50, 1000);
    for (std::size_t i = 0; i < cases; ++i) {
        const Block key = RandomBlock(random);
        if (!probe.SetKey(key))
            return;
        for (bool encrypt : {true, false}) {
            const Block in = RandomBlock(random);
            const auto got = probe.Crypt(in, encrypt);
            if (!got)
                return;
            const Block expected = support::OpenSslDes(key.data(), in.data(), encrypt);
            if (*got != expected) {
                ctx.Fail(vectors::Mismatch(CaseName(ctx, i, cases) + ": " + (encrypt ? "Encrypt of " : "Decrypt of ") +
                                               Hex(in.data(), in.size()) + " under the key " +
                                               Hex(key.data(), key.size()),
                                           Hex(expected.data(), expected.size()), Hex(got->data(), got->size())));
                return;
            }
        }
    }
}

// Lengths spread over 0..20 KiB, a quarter of them where the padding
// changes shape.
std::size_t RandomLength(std::mt19937_64& random)
{
    if (random() % 4 == 0) {
        static const std::size_t edges[] = {0, 1, 55, 56, 63};
        return 64 * (random() % (kLongestMessage / 64)) + edges[random() % std::size(edges)];
    }
    return random() % (kLongestMessage + 1);
}

std::string ShownMessage(const Bytes& message)
{
    if (message.empty())
        return "empty";
    if (message.size() <= kShownMessageBytes)
        return Hex(message);
    return Hex(message.data(), kShownEndBytes) + " … " +
           Hex(message.data() + message.size() - kShownEndBytes, kShownEndBytes);
}

template <class Interface>
void CheckHash(Context& ctx, CryptoClassKind kind, std::size_t digestBytes, const char* reference)
{
    const auto hash = support::Create<Interface>(ctx, kind);
    if (!hash)
        return;
    vectors::HashProbe<Interface> probe(ctx, *hash.Get(), digestBytes, support::ClassOf(kind).interfaceName);
    auto random = support::Generator(ctx);
    const std::size_t cases = Cases(ctx, 50, 1000);
    for (std::size_t i = 0; i < cases; ++i) {
        const Bytes message = support::RandomBytes(random, RandomLength(random));
        const auto got = probe.Digest(message);
        if (!got)
            return;
        const Bytes expected = support::OpenSslDigest(reference, message.data(), message.size());
        if (*got != expected) {
            ctx.Fail(vectors::Mismatch(CaseName(ctx, i, cases) + ": the digest of " +
                                           vectors::ByteCount(message.size()) + ": " + ShownMessage(message),
                                       Hex(expected), Hex(*got)));
            return;
        }
    }
}

// A number below n from the check's generator (not OpenSSL's, which no seed
// replays).
support::Bignum RandomBelow(std::mt19937_64& random, const BIGNUM* n, std::size_t words, BN_CTX* bn)
{
    const Bytes bytes = support::RandomBytes(random, 4 * words + 8);
    support::Bignum value(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
    BN_mod(value.get(), value.get(), n, bn);
    return value;
}

// One generated key of keyWords words; false once the check has failed.
bool CheckRsaKey(Context& ctx, std::uint32_t keyWords, std::mt19937_64& random)
{
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return false;
    ctx.Calling("IUserRSA::GenerateKey");
    if (!CallSucceeded(ctx, rsa->GenerateKey("differential", keyWords), "IUserRSA::GenerateKey"))
        return false;
    const auto key = support::GetKey(ctx, *rsa.Get());
    if (!key)
        return false;
    const Words& base = (*key)[support::kBase];
    const support::Bignum n = support::ToBignum(base);
    if (BN_is_zero(n.get()) || base.size() > keyWords) {
        ctx.Fail("the key generated with " + std::to_string(keyWords) + " words has the base " + vectors::Number(base));
        return false;
    }
    const support::Bignum e = support::ToBignum((*key)[support::kPublic]);
    const support::Bignum d = support::ToBignum((*key)[support::kPrivate]);
    const support::BignumContext bn(BN_CTX_new());
    const std::string keyText = "the generated key of " + std::to_string(keyWords) + " words: base " +
                                vectors::Number(base) + ", public key " + vectors::Number((*key)[support::kPublic]) +
                                ", private key " + vectors::Number((*key)[support::kPrivate]);
    const std::size_t cases = Cases(ctx, 8, 50);
    for (std::size_t i = 0; i < cases; ++i) {
        for (bool encrypt : {true, false}) {
            const support::Bignum in = RandomBelow(random, n.get(), keyWords, bn.get());
            const Words inWords = support::FromBignum(in.get(), keyWords);
            const auto got = vectors::GuardedRsaCall(ctx, *rsa.Get(), encrypt, inWords);
            if (!got)
                return false;
            support::Bignum out(BN_new());
            BN_mod_exp(out.get(), in.get(), encrypt ? e.get() : d.get(), n.get(), bn.get());
            const Words expected = support::FromBignum(out.get(), keyWords);
            if (*got != expected) {
                ctx.Fail(vectors::Mismatch(CaseName(ctx, i, cases) + ": " + (encrypt ? "Encrypt of " : "Decrypt of ") +
                                               vectors::Number(inWords) + " with " + keyText,
                                           vectors::Number(expected), vectors::Number(*got)));
                return false;
            }
        }
    }
    return true;
}

void CheckRsa(Context& ctx)
{
    auto random = support::Generator(ctx);
    std::vector<std::uint32_t> sizes = {2, 16, 32};
    if (ctx.Options().level == Level::Thorough)
        sizes.push_back(64);
    for (std::uint32_t words : sizes)
        if (!CheckRsaKey(ctx, words, random))
            return;
}

}  // namespace

std::vector<CheckDef> DifferentialSuite(const SuiteOptions& opts)
{
    std::vector<CheckDef> checks = {
        {"differential.des", "DES of random keys and blocks, both ways, against OpenSSL", &CheckDes},
        {"differential.sha1", "SHA-1 of random messages up to 20 KiB against OpenSSL",
         [](Context& ctx) { CheckHash<IHashSHA1>(ctx, CryptoClassKind::HashSha1, kSha1DigestBytes, "SHA1"); }},
        {"differential.md5", "MD5 of random messages up to 20 KiB against OpenSSL",
         [](Context& ctx) { CheckHash<IHashMD5>(ctx, CryptoClassKind::HashMd5, kMd5DigestBytes, "MD5"); }},
        {"differential.rsa", "raw RSA with generated keys of 2, 16 and 32 words against OpenSSL's modular powers",
         &CheckRsa, 120.0},
    };
    for (CheckDef& check : SetKeyChecks(opts))
        checks.push_back(std::move(check));
    return checks;
}

}  // namespace checks
