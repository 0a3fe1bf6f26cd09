#include "suites/set_key_checks.h"

#include "suites/seeded_keys.h"
#include "suites/support.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <checks/guarded_buffer.h>

#include <algorithm>

namespace checks {
namespace {

using support::Bignum;
using support::Words;
using Key = std::array<Words, 8>;

enum class Setting { Done, Refused, NotImplemented };

// Sets the eight numbers from guarded buffers. A refusal is the component's
// right (the call and status land in refusal); E_NOTIMPL is work left.
Setting SetNumbers(Context& ctx, IUserRSA& rsa, const Key& key, std::string& refusal)
{
    for (std::size_t i = 0; i < key.size(); ++i) {
        GuardedBuffer buffer(4 * key[i].size(), GuardedBuffer::Use::Input);
        std::copy(key[i].begin(), key[i].end(), buffer.Words());
        const std::string call = std::string("IUserRSA::") + support::kKeyParts[i].setter;
        ctx.Calling(call);
        const HRESULT hr = (rsa.*support::kKeyParts[i].set)(buffer.Words(), static_cast<std::uint32_t>(key[i].size()));
        if (hr == E_NOTIMPL) {
            ctx.NotImplemented(call);
            return Setting::NotImplemented;
        }
        if (FAILED(hr)) {
            refusal = call + " answered " + StatusText(hr);
            return Setting::Refused;
        }
    }
    return Setting::Done;
}

Words RandomBelow(std::mt19937_64& random, const Words& base)
{
    const Bignum n = support::ToBignum(base);
    const support::Bytes bytes = support::RandomBytes(random, 4 * base.size() + 8);
    Bignum value(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
    BN_mod(value.get(), value.get(), n.get(), support::BignumContext(BN_CTX_new()).get());
    return support::FromBignum(value.get(), base.size());
}

Words PowerModN(const Words& in, const Words& exponent, const Words& base)
{
    const Bignum m = support::ToBignum(in), x = support::ToBignum(exponent), n = support::ToBignum(base);
    Bignum out(BN_new());
    BN_mod_exp(out.get(), m.get(), x.get(), n.get(), support::BignumContext(BN_CTX_new()).get());
    return support::FromBignum(out.get(), base.size());
}

std::size_t Cases(const Context& ctx, std::size_t quick, std::size_t standard)
{
    const Level level = ctx.Options().level;
    return level == Level::Quick ? quick : level == Level::Standard ? standard : 10 * standard;
}

// e in decimal, as keys are spoken of ("e = 65537").
std::string Exponent(const Key& key)
{
    const Bignum e = support::ToBignum(key[support::kPublic]);
    char* text = BN_bn2dec(e.get());
    const std::string decimal = text ? text : "?";
    OPENSSL_free(text);
    return decimal;
}

// "the 16-word key with e = 3, p < q (check seed 42)"
std::string KeyName(const Context& ctx, const Key& key, const std::string& how)
{
    return "the " + std::to_string(key[support::kBase].size()) + "-word key with e = " + Exponent(key) + how +
           ", set through the setters (check seed " + std::to_string(ctx.Seed()) +
           "; its numbers: n = " + vectors::Number(key[support::kBase]) +
           ", d = " + vectors::Number(key[support::kPrivate]) + ", p = " + vectors::Number(key[support::kPrimeP]) +
           ", q = " + vectors::Number(key[support::kPrimeQ]) + ")";
}

// Encrypt with e and Decrypt with d of random numbers below n. A refused
// key or call is a choice; a wrong answer with success fails. False once
// the check should stop.
bool Exercise(Context& ctx, const Key& key, const std::string& how, std::mt19937_64& random, std::size_t cases)
{
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return false;
    std::string refusal;
    if (const Setting setting = SetNumbers(ctx, *rsa.Get(), key, refusal); setting != Setting::Done) {
        if (setting == Setting::NotImplemented)
            return false;
        ctx.Choice("the setters refuse a key with e = " + Exponent(key) + how + ": " + refusal);
        return !ctx.Failed();
    }
    for (std::size_t i = 0; i < cases; ++i)
        for (const bool encrypt : {true, false}) {
            const Words in = RandomBelow(random, key[support::kBase]);
            HRESULT hr = S_OK;
            const auto got = vectors::GuardedRsaCall(ctx, *rsa.Get(), encrypt, in, hr);
            const char* call = encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt";
            if (!got) {
                if (hr == E_NOTIMPL) {
                    ctx.NotImplemented(call);
                    return false;
                }
                if (FAILED(hr))
                    ctx.Choice(std::string(call) + " with " + KeyName(ctx, key, how) + " failed (" + StatusText(hr) +
                               ")");
                return !ctx.Failed();
            }
            const Words expected =
                PowerModN(in, key[encrypt ? support::kPublic : support::kPrivate], key[support::kBase]);
            if (*got != expected) {
                ctx.Fail(vectors::Mismatch(std::string(call) + " of " + vectors::Number(in) + " with " +
                                               KeyName(ctx, key, how) + (encrypt ? ": raw RSA with this e" : ""),
                                           vectors::Number(expected), vectors::Number(*got)));
                return false;
            }
        }
    return true;
}

// e = 1 makes raw RSA the identity. Refusing such a key is sound; taking it
// and answering anything but the input is a wrong result.
void ExerciseExponentOne(Context& ctx, std::mt19937_64& random)
{
    auto key = support::SeededKey(random, 4, 65537, support::PrimeOrder::PAboveQ);
    if (!key)
        return;
    const Words one = {1};
    for (const std::size_t part : {support::kPublic, support::kPrivate, support::kExponentP, support::kExponentQ})
        (*key)[part] = one;
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return;
    std::string refusal;
    if (SetNumbers(ctx, *rsa.Get(), *key, refusal) != Setting::Done)
        return;
    const Words in = RandomBelow(random, (*key)[support::kBase]);
    for (const bool encrypt : {true, false}) {
        HRESULT hr = S_OK;
        const auto got = vectors::GuardedRsaCall(ctx, *rsa.Get(), encrypt, in, hr);
        if (got && *got != in)
            ctx.Fail(vectors::Mismatch(std::string(encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt") + " of " +
                                           vectors::Number(in) + " with " + KeyName(ctx, *key, "") +
                                           ": with e = d = 1 raw RSA gives the number itself",
                                       vectors::Number(in), vectors::Number(*got)));
        else if (got && encrypt)
            ctx.Note("the setters take a key with e = 1, which hides nothing; Encrypt gives its input back, as raw "
                     "RSA with e = 1 does");
    }
}

void CheckExponents(Context& ctx)
{
    auto random = support::Generator(ctx);
    std::vector<std::uint32_t> sizes = {4};
    if (ctx.Options().level >= Level::Standard)
        sizes.push_back(16);
    if (ctx.Options().level == Level::Thorough)
        sizes.push_back(32);
    const std::size_t cases = Cases(ctx, 2, 6);
    for (const std::uint32_t words : sizes) {
        // An odd e of 40 bits; SeededKey picks primes it is coprime to.
        const std::uint64_t randomOdd = (random() & ((std::uint64_t(1) << 40) - 1)) | (std::uint64_t(1) << 39) | 1;
        const std::pair<std::uint64_t, support::PrimeOrder> cases_[] = {
            {3, support::PrimeOrder::PBelowQ},
            {17, support::PrimeOrder::PAboveQ},
            {randomOdd, support::PrimeOrder::PBelowQ},
            {65537, support::PrimeOrder::PBelowQ},
        };
        for (const auto& [e, order] : cases_) {
            const auto key = support::SeededKey(random, words, e, order);
            if (!key) {
                ctx.Fail("OpenSSL could not make the key with e = " + std::to_string(e));
                return;
            }
            if (!Exercise(ctx, *key, order == support::PrimeOrder::PBelowQ ? ", p < q" : ", p > q", random, cases))
                return;
        }
    }
    ExerciseExponentOne(ctx, random);
}

// A key whose CRT parts do not belong to it: decrypting through them gives
// a wrong number, so a component must check them or use d alone. Failing
// the call is as good as the right answer.
void CheckCrtMismatch(Context& ctx)
{
    auto random = support::Generator(ctx);
    const auto sound = support::SeededKey(random, 16, 65537, support::PrimeOrder::PAboveQ);
    if (!sound) {
        ctx.Fail("OpenSSL could not make the key");
        return;
    }
    auto plus = [](const Words& number, unsigned add) {
        Bignum value = support::ToBignum(number);
        BN_add_word(value.get(), add);
        return support::FromBignum(value.get());
    };
    struct Variant {
        const char* what;
        Key key;
    };
    std::vector<Variant> variants = {{"d mod (p-1) off by 2 (GetKeyPart6's number)", *sound},
                                     {"d mod (q-1) off by 2 (GetKeyPart7's number)", *sound},
                                     {"q^-1 mod p off by 1 (GetKeyPart8's number)", *sound},
                                     {"p and q (and their exponents) swapped, the old q^-1 mod p kept", *sound}};
    variants[0].key[support::kExponentP] = plus((*sound)[support::kExponentP], 2);
    variants[1].key[support::kExponentQ] = plus((*sound)[support::kExponentQ], 2);
    variants[2].key[support::kCoefficient] = plus((*sound)[support::kCoefficient], 1);
    std::swap(variants[3].key[support::kPrimeP], variants[3].key[support::kPrimeQ]);
    std::swap(variants[3].key[support::kExponentP], variants[3].key[support::kExponentQ]);
    const std::size_t cases = Cases(ctx, 2, 4);
    for (const Variant& variant : variants) {
        const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
        if (!rsa)
            return;
        std::string refusal;
        if (const Setting setting = SetNumbers(ctx, *rsa.Get(), variant.key, refusal); setting != Setting::Done) {
            if (setting == Setting::NotImplemented)
                return;
            continue;  // refusing the inconsistent key is sound
        }
        for (std::size_t i = 0; i < cases; ++i) {
            const Words in = RandomBelow(random, variant.key[support::kBase]);
            HRESULT hr = S_OK;
            const auto got = vectors::GuardedRsaCall(ctx, *rsa.Get(), false, in, hr);
            if (!got) {
                if (hr == E_NOTIMPL) {
                    ctx.NotImplemented("IUserRSA::Decrypt");
                    return;
                }
                if (ctx.Failed())
                    return;
                break;  // refusing to decrypt with it is sound
            }
            const Words expected = PowerModN(in, variant.key[support::kPrivate], variant.key[support::kBase]);
            if (*got != expected) {
                ctx.Fail(
                    vectors::Mismatch("IUserRSA::Decrypt of " + vectors::Number(in) +
                                          " succeeded with a wrong number; the key's " + variant.what +
                                          " does not belong to its n, e and d, so the CRT parts must be checked or d "
                                          "used alone. " +
                                          KeyName(ctx, variant.key, ""),
                                      vectors::Number(expected) + " (c^d mod n)", vectors::Number(*got)));
                break;
            }
        }
    }
}

}  // namespace

std::vector<CheckDef> SetKeyChecks(const SuiteOptions&)
{
    return {
        {"differential.rsa.exponents",
         "keys with e = 3, 17, a random odd e and 65537, p above and below q, set through the setters; e = 1 refused "
         "or the identity",
         &CheckExponents},
        {"differential.rsa.crt-mismatch",
         "a key whose CRT parts do not belong to it decrypts like d alone or fails, never wrong with success",
         &CheckCrtMismatch},
    };
}

}  // namespace checks
