// Generated RSA keys audited with OpenSSL's big numbers, the wizard's copy
// through the setters, the key files read back, and GenerateKey's limits.
#include "suites/key_audit.h"
#include "suites/rsa_key_files.h"
#include "suites/support.h"

#include <checks/suites.h>

#include <harness/rsa_key.h>

#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace checks {
namespace {

using support::Bignum;
using support::BignumContext;
using support::Expected;
using support::kKeyParts;
using support::ShownNumber;
using support::Words;

// Raw RSA of m through the object against m^e mod n, and back.
bool RoundTrip(Context& ctx, IUserRSA& rsa, const std::array<Words, 8>& key, const BIGNUM* m, const std::string& what)
{
    BignumContext bn(BN_CTX_new());
    const Bignum n = support::ToBignum(key[support::kBase]);
    const Bignum e = support::ToBignum(key[support::kPublic]);
    Bignum expected(BN_new());
    BN_mod_exp(expected.get(), m, e.get(), n.get(), bn.get());
    const std::size_t keyWords = key[support::kBase].size();
    const Words plain = support::FromBignum(m, keyWords);
    const auto cipher = support::RsaCall(ctx, rsa, true, plain);
    if (!cipher)
        return false;
    const Words expectedWords = support::FromBignum(expected.get(), keyWords);
    if (*cipher != expectedWords) {
        ctx.Fail(Expected("Encrypt of " + what + " " + ShownNumber(plain), ShownNumber(expectedWords),
                          ShownNumber(*cipher)));
        return false;
    }
    const auto back = support::RsaCall(ctx, rsa, false, *cipher);
    if (!back)
        return false;
    if (*back != plain) {
        ctx.Fail(Expected("Decrypt of the encryption of " + what, ShownNumber(plain), ShownNumber(*back)));
        return false;
    }
    return true;
}

// Every relation a key of keyWords words must satisfy, each broken one named.
void AuditKey(Context& ctx, const std::array<Words, 8>& key, std::uint32_t keyWords)
{
    for (std::string& problem : support::AuditKeyNumbers(key, keyWords))
        ctx.Fail("the generated key: " + std::move(problem));
    if (key[support::kBase].size() != keyWords)
        ctx.Fail(Expected("GetBase's count", std::to_string(keyWords) + " words",
                          std::to_string(key[support::kBase].size())));
    const Bignum e = support::ToBignum(key[support::kPublic]);
    if (!BN_is_word(e.get(), 65537) && !BN_is_one(e.get()))
        ctx.Choice(Expected("the public exponent", "65537 (the bundled component's choice)",
                            ShownNumber(key[support::kPublic])));
}

void CheckGeneratedKey(Context& ctx, std::uint32_t keyWords)
{
    ComPtr<IUserRSA> rsa = support::Generated(ctx, keyWords);
    if (!rsa)
        return;
    const auto key = support::GetKey(ctx, *rsa);
    if (!key)
        return;
    AuditKey(ctx, *key, keyWords);
    if (ctx.Failed())
        return;

    const Bignum n = support::ToBignum((*key)[support::kBase]);
    Bignum value(BN_new());
    BN_zero(value.get());
    if (!RoundTrip(ctx, *rsa, *key, value.get(), "0"))
        return;
    BN_one(value.get());
    if (!RoundTrip(ctx, *rsa, *key, value.get(), "1"))
        return;
    Bignum top(BN_dup(n.get()));
    BN_sub_word(top.get(), 1);
    if (!RoundTrip(ctx, *rsa, *key, top.get(), "n-1"))
        return;
    auto random = support::Generator(ctx);
    for (int i = 0; i < 4; ++i) {
        const auto bytes = support::RandomBytes(random, 4 * keyWords);
        Bignum m(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
        BN_mod(m.get(), m.get(), n.get(), BignumContext(BN_CTX_new()).get());
        if (!RoundTrip(ctx, *rsa, *key, m.get(), "a random number (seed " + std::to_string(ctx.Seed()) + ")"))
            return;
    }
}

// The wizard's copy: every number through the setters, then the copy must
// decrypt what the source encrypted.
void CheckCopy(Context& ctx)
{
    ComPtr<IUserRSA> source = support::Generated(ctx, 16);
    ComPtr<IUserRSA> copy = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!source || !copy)
        return;
    ctx.Calling("the get-set copy");
    if (const auto copied = harness::CopyKey(*source, *copy); !copied) {
        const harness::CallFailure& failure = copied.Failure();
        ctx.Fail("the copy through the setters failed at " + failure.call + " (" + StatusText(failure.status) + ")" +
                 (failure.reason.empty() ? "" : ": " + failure.reason));
        return;
    }
    const auto key = support::GetKey(ctx, *source);
    const auto copiedKey = support::GetKey(ctx, *copy);
    if (!key || !copiedKey)
        return;
    for (std::size_t i = 0; i < kKeyParts.size(); ++i)
        if ((*key)[i] != (*copiedKey)[i])
            ctx.Fail(Expected(std::string("the copy's ") + kKeyParts[i].name, ShownNumber((*key)[i]),
                              ShownNumber((*copiedKey)[i])));
    auto random = support::Generator(ctx);
    // Below the base: the top word stays 0.
    Words message(16, 0);
    for (std::size_t i = 0; i + 1 < message.size(); ++i)
        message[i] = static_cast<std::uint32_t>(random());
    const auto cipher = support::RsaCall(ctx, *source, true, message);
    if (!cipher)
        return;
    const auto back = support::RsaCall(ctx, *copy, false, *cipher);
    if (back && *back != message)
        ctx.Fail(Expected("the copy's Decrypt of the source's Encrypt", ShownNumber(message), ShownNumber(*back)));
}

void CheckGenerateLimits(Context& ctx)
{
    ComPtr<IUserRSA> rsa = support::Generated(ctx, 2);
    if (!rsa)
        return;
    const auto before = support::GetKey(ctx, *rsa);
    if (!before)
        return;
    for (const std::uint32_t words : {0u, 257u}) {
        ctx.Calling("IUserRSA::GenerateKey(" + std::to_string(words) + " words)");
        // No key has 0 words; 256 words is the bundled component's limit.
        if (const HRESULT hr = rsa->GenerateKey("Checker", words); SUCCEEDED(hr)) {
            const std::string what = "GenerateKey with " + std::to_string(words) + " words";
            if (words == 0)
                ctx.Fail(Expected(what, "a failure status", StatusText(hr)));
            else
                ctx.Choice(Expected(what, "a failure (the bundled component's limit is 256)", StatusText(hr)));
            continue;
        }
        const auto after = support::GetKey(ctx, *rsa);
        if (after && *after != *before)
            ctx.Choice("GenerateKey with " + std::to_string(words) + " words failed but did not keep the old key");
    }
    // The length asked for is the length made.
    for (const std::uint32_t words : {1u, 5u}) {
        ctx.Calling("IUserRSA::GenerateKey(" + std::to_string(words) + " words)");
        if (!CallSucceeded(ctx, rsa->GenerateKey("Checker", words),
                           "GenerateKey with " + std::to_string(words) + " words"))
            continue;
        support::CheckKeyLength(ctx, *rsa, words, "GenerateKey with " + std::to_string(words) + " words");
    }
}

}  // namespace

std::vector<CheckDef> RsaSuite(const SuiteOptions& options)
{
    std::vector<CheckDef> checks;
    std::vector<std::uint32_t> sizes{1, 2, 3, 16};
    if (options.level >= Level::Standard)
        sizes.insert(sizes.end(), {64, 128});
    if (options.level >= Level::Thorough)
        sizes.push_back(256);
    for (const std::uint32_t words : sizes)
        checks.push_back({"rsa.keys." + std::to_string(words),
                          "a generated " + std::to_string(words) +
                              "-word key: its length, primes, exponents, CRT parts and round trips",
                          [words](Context& ctx) { CheckGeneratedKey(ctx, words); },
                          words >= 256   ? 900.0
                          : words >= 128 ? 240.0
                                         : 60.0});
    checks.push_back({"rsa.copy", "a key copied through the eight setters decrypts like its source", &CheckCopy});
    for (CheckDef& check : KeyFileChecks(options))
        checks.push_back(std::move(check));
    checks.push_back({"rsa.generate-limits",
                      "GenerateKey refuses 0 and 257 words and keeps the old key; makes the length asked",
                      &CheckGenerateLimits});
    return checks;
}

}  // namespace checks
