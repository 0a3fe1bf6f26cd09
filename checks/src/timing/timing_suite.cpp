// Does the component's time give its secrets away? Two classes of inputs
// (or keys) per test, the class of each measurement drawn at random, Welch's
// t between them, and two controls timed beside the component in every test
// to show this machine, at this moment, could tell a leak from none.
// Not part of the default run: it runs when named (tarvel-check timing) and
// at thorough. The public operations (RSA Encrypt, the hashes) work on
// public data and are left out.
#include "suites/support.h"
#include "timing/des_subjects.h"
#include "timing/rsa_subjects.h"
#include "timing/run_test.h"

#include <checks/timing_suite.h>

#include <algorithm>

namespace checks {
namespace {

using timing::DesTest;
using timing::RsaTest;

// Keys in the key test's pool: the lightest d of 32 keys lies about two
// standard deviations below the mean weight.
constexpr std::size_t kKeyPool = 32;

// One timing test of a class: its check's name and description, and what its
// report says was timed and what the fixed and the random class hold.
template <class Test>
struct TestKind {
    Test test;
    const char* name;
    const char* description;
    const char* timed;
    const char* fixed;
    const char* random;
};
using RsaTestKind = TestKind<RsaTest>;
using DesTestKind = TestKind<DesTest>;

constexpr RsaTestKind kRsaTests[] = {
    {RsaTest::FullInput, "input-full", "a fixed full-size input vs random inputs", "IUserRSA::Decrypt",
     "one input in [n/4, n/2), as many words as n", "inputs below n, new each time"},
    {RsaTest::InputBelowP, "input-below-p", "a full-size input that is p - 1 modulo p vs random inputs",
     "IUserRSA::Decrypt", "k p - 1 with k in [q/2, q): p - 1 in the half of the CRT modulo p",
     "inputs below n, new each time"},
    {RsaTest::Key, "key", "the key with the lightest d of a pool vs random keys of the pool", "IUserRSA::Decrypt",
     "the pool's key with the fewest set bits in d", "a key drawn from the pool each time"},
};

void RsaTiming(Context& ctx, std::size_t words, const RsaTestKind& kind)
{
    std::string error;
    const auto keys = timing::MakeRsaKeys(words, kind.test == RsaTest::Key ? kKeyPool : 1, error);
    if (keys.empty()) {
        ctx.Fail("cannot make the test's keys: " + error);
        return;
    }
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa || (kind.test != RsaTest::Key && !support::SetKey(ctx, *rsa.Get(), keys.front().numbers)))
        return;
    const auto classes = [&](timing::Role role) {
        return timing::RsaClasses(kind.test, keys, ctx.Seed(), timing::StreamSeed(ctx.Seed(), role));
    };
    const auto component = timing::ComponentRsaSubject(ctx, *rsa.Get(), classes(timing::kComponent));
    const auto leaky = timing::LeakyRsaSubject(classes(timing::kLeakyControl));
    const auto constant = timing::ConstantTimeRsaSubject(classes(timing::kConstantTimeControl));
    std::string fixed = kind.fixed;
    if (kind.test == RsaTest::Key)
        fixed += " (" + std::to_string(keys[timing::LightestKey(keys)].privateWeight) + " of " +
                 std::to_string(32 * words) + " bits)";
    timing::RunTimingTest(
        ctx, {component.get(), leaky.get(), constant.get()},
        {kind.timed, fixed, kind.random, timing::LeakyRsaDescription(kind.test), timing::kConstantTimeRsaDescription});
}

constexpr DesTestKind kDesTests[] = {
    {DesTest::KeySchedule, "key-schedule", "the weak key 01…01 vs random keys over SetKey and Encrypt",
     "IUserDES::SetKey + IUserDES::Encrypt", "the key 0101010101010101", "random keys with odd parity"},
    {DesTest::KeyEncrypt, "key-encrypt", "the weak key 01…01 vs random keys over Encrypt alone", "IUserDES::Encrypt",
     "the key 0101010101010101", "random keys with odd parity"},
    {DesTest::Block, "block", "the all-zero block vs random blocks under one key", "IUserDES::Encrypt",
     "the block 0000000000000000", "random blocks"},
};

void DesTiming(Context& ctx, const DesTestKind& kind)
{
    const auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    if (!des)
        return;
    const std::uint64_t seed = ctx.Seed();
    const auto component =
        timing::ComponentDesSubject(*des.Get(), kind.test, seed, timing::StreamSeed(seed, timing::kComponent));
    const auto leaky = timing::LeakyDesSubject(kind.test, seed, timing::StreamSeed(seed, timing::kLeakyControl));
    const auto constant =
        timing::ConstantTimeDesSubject(kind.test, seed, timing::StreamSeed(seed, timing::kConstantTimeControl));
    timing::RunTimingTest(
        ctx, {component.get(), leaky.get(), constant.get()},
        {kind.timed, kind.fixed, kind.random, timing::kLeakyDesDescription, timing::kConstantTimeDesDescription});
}

}  // namespace

std::vector<CheckDef> TimingSuite(const SuiteOptions& opts)
{
    const bool named = std::find(opts.namedSuites.begin(), opts.namedSuites.end(), "timing") != opts.namedSuites.end();
    if (!named && opts.level != Level::Thorough)
        return {};
    std::vector<CheckDef> checks;
    std::vector<std::size_t> sizes = {16, 32};
    if (opts.level == Level::Thorough)
        sizes.push_back(64);
    for (std::size_t words : sizes)
        for (const RsaTestKind& kind : kRsaTests) {
            // Making 32 keys of 64 words takes a few seconds, more on a
            // loaded machine.
            const double setup = kind.test == RsaTest::Key ? static_cast<double>(words) / 2 : 5;
            checks.push_back({"timing.rsa" + std::to_string(words) + "." + kind.name,
                              "RSA Decrypt with " + std::to_string(words) + "-word keys: " + kind.description,
                              [words, &kind](Context& ctx) { RsaTiming(ctx, words, kind); },
                              timing::TimeoutFor(opts.level, setup)});
        }
    for (const DesTestKind& kind : kDesTests)
        checks.push_back({std::string("timing.des.") + kind.name, std::string("DES: ") + kind.description,
                          [&kind](Context& ctx) { DesTiming(ctx, kind); }, timing::TimeoutFor(opts.level, 5)});
    return checks;
}

}  // namespace checks
