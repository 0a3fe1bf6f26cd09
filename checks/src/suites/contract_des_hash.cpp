// The binary contract of IUserDES and the two hash interfaces, what every
// class owes QueryInterface and null pointers, and objects used from several
// threads at once.
#include "suites/contract_checks.h"
#include "suites/support.h"

#include <checks/guarded_buffer.h>
#include <checks/suites.h>

#include <cstring>
#include <thread>

namespace checks::contract {
namespace {

using support::Bytes;
using support::Expected;
using support::Hex;

void CheckQueryInterface(Context& ctx, const CryptoClass& entry)
{
    ComPtr<IUnknown> object = support::Create<IUnknown>(ctx, entry.kind);
    if (!object)
        return;
    const std::string name = entry.interfaceName;
    for (const auto& [iid, what] : {std::pair{IID_IUnknown, "IUnknown"}, std::pair{entry.iid, entry.interfaceName}}) {
        ComPtr<IUnknown> again;
        ctx.Calling(name + "::QueryInterface(" + what + ")");
        const HRESULT hr = object->QueryInterface(iid, again.Put());
        // The programs never call QueryInterface: refusing is a choice,
        // success without an object a wrong answer.
        if (SUCCEEDED(hr) && !again)
            ctx.Fail(name + "::QueryInterface(" + what + ") succeeded (" + StatusText(hr) + ") without an object");
        else if (FAILED(hr))
            ctx.Choice(Expected(name + "::QueryInterface(" + what + ")", "S_OK and an object", StatusText(hr)));
    }
    for (const CryptoClass& other : kCryptoClasses) {
        if (other.kind == entry.kind)
            continue;
        void* wrong = reinterpret_cast<void*>(1);
        ctx.Calling(name + "::QueryInterface(" + other.interfaceName + ")");
        const HRESULT hr = object->QueryInterface(other.iid, &wrong);
        if (SUCCEEDED(hr)) {
            ctx.Fail(Expected(name + "::QueryInterface(" + other.interfaceName + ")", "a failure", StatusText(hr)));
            if (wrong)
                static_cast<IUnknown*>(wrong)->Release();
        } else if (wrong) {
            ctx.Choice(name + "::QueryInterface(" + other.interfaceName + ") failed without setting *ppv to null");
        } else if (hr != E_NOINTERFACE) {
            ctx.Choice(Expected(name + "::QueryInterface(" + other.interfaceName + ")", "E_NOINTERFACE (0x80004002)",
                                StatusText(hr)));
        }
    }
    ctx.Calling(name + "::QueryInterface(null)");
    if (const HRESULT hr = object->QueryInterface(entry.iid, nullptr); SUCCEEDED(hr))
        ctx.Fail(Expected(name + "::QueryInterface with a null pointer", "a failure status", StatusText(hr)));
}

// Each call with a null pointer must answer a failure, never crash.
void ExpectRefused(Context& ctx, const std::string& call, HRESULT hr)
{
    if (SUCCEEDED(hr))
        ctx.Fail(Expected(call + " with a null pointer", "a failure status", StatusText(hr)));
}

template <class Hash>
void RefusesNullHashPointers(Context& ctx, CryptoClassKind kind)
{
    auto hash = support::Create<Hash>(ctx, kind);
    if (!hash)
        return;
    const std::string name = support::ClassOf(kind).interfaceName;
    ctx.Calling(name + "::HashData");
    ExpectRefused(ctx, name + "::HashData of 5 bytes", hash->HashData(nullptr, 5));
    ctx.Calling(name + "::HashData");
    if (CallSucceeded(ctx, hash->HashData(reinterpret_cast<const std::uint8_t*>("abc"), 3), name + "::HashData")) {
        ctx.Calling(name + "::GetHash");
        ExpectRefused(ctx, name + "::GetHash", hash->GetHash(nullptr));
    }
}

void CheckNullPointers(Context& ctx)
{
    if (auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa)) {
        ctx.Calling("IUserRSA::GenerateKey");
        if (CallSucceeded(ctx, rsa->GenerateKey("Checker", 2), "IUserRSA::GenerateKey")) {
            std::uint32_t words[2] = {1, 0};
            std::uint32_t count = 2;
            const std::pair<const char*, std::function<HRESULT()>> calls[] = {
                {"IUserRSA::GetKeyLength", [&] { return rsa->GetKeyLength(nullptr); }},
                {"IUserRSA::Encrypt (input)", [&] { return rsa->Encrypt(nullptr, 2, words, &count); }},
                {"IUserRSA::Encrypt (output)", [&] { return rsa->Encrypt(words, 2, nullptr, &count); }},
                {"IUserRSA::Encrypt (output count)", [&] { return rsa->Encrypt(words, 2, words, nullptr); }},
                {"IUserRSA::Decrypt (input)", [&] { return rsa->Decrypt(nullptr, 2, words, &count); }},
                {"IUserRSA::GetUserId (length)", [&] { return rsa->GetUserId(nullptr, nullptr); }},
                {"IUserRSA::GetCode (length)", [&] { return rsa->GetCode(nullptr, nullptr); }},
                {"IUserRSA::GetBase (count)", [&] { return rsa->GetBase(words, nullptr); }},
                {"IUserRSA::GetKeyPart8 (count)", [&] { return rsa->GetKeyPart8(words, nullptr); }},
                {"IUserRSA::SetBase", [&] { return rsa->SetBase(nullptr, 2); }},
                {"IUserRSA::SetUserId", [&] { return rsa->SetUserId(nullptr, 3); }},
                {"IUserRSA::SaveWkyFile", [&] { return rsa->SaveWkyFile(nullptr); }},
                {"IUserRSA::LoadAsyFile", [&] { return rsa->LoadAsyFile(nullptr); }},
            };
            for (const auto& [call, run] : calls) {
                ctx.Calling(call);
                ExpectRefused(ctx, call, run());
                count = 2;
            }
        }
    }
    if (auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes)) {
        const std::uint32_t key[2] = {0x01234567u, 0x89ABCDEFu};
        ctx.Calling("IUserDES::SetKey");
        if (CallSucceeded(ctx, des->SetKey(key), "IUserDES::SetKey")) {
            ctx.Calling("IUserDES::SetKey");
            ExpectRefused(ctx, "IUserDES::SetKey", des->SetKey(nullptr));
            ctx.Calling("IUserDES::Encrypt");
            ExpectRefused(ctx, "IUserDES::Encrypt", des->Encrypt(nullptr));
            ctx.Calling("IUserDES::Decrypt");
            ExpectRefused(ctx, "IUserDES::Decrypt", des->Decrypt(nullptr));
        }
    }
    RefusesNullHashPointers<IHashSHA1>(ctx, CryptoClassKind::HashSha1);
    RefusesNullHashPointers<IHashMD5>(ctx, CryptoClassKind::HashMd5);
}

void CheckDes(Context& ctx)
{
    auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    if (!des)
        return;
    std::uint32_t block[2] = {0x11111111u, 0x22222222u};
    ctx.Calling("IUserDES::Encrypt (no key)");
    if (const HRESULT hr = des->Encrypt(block); SUCCEEDED(hr))
        ctx.Choice(Expected("IUserDES::Encrypt before SetKey", "a failure", StatusText(hr)));
    std::uint32_t got[2] = {0, 0};
    ctx.Calling("IUserDES::GetKey (no key)");
    if (const HRESULT hr = des->GetKey(got); SUCCEEDED(hr))
        ctx.Fail(Expected("IUserDES::GetKey before SetKey", "a failure status", StatusText(hr)));

    // The key is read from a guarded buffer: exactly two words may be read.
    GuardedBuffer key(8, GuardedBuffer::Use::Input);
    key.Words()[0] = 0x3B3898A7u;  // bytes a7 98 38 3b ... in memory order
    key.Words()[1] = 0x1C2F6F5Du;
    ctx.Calling("IUserDES::SetKey");
    if (!CallSucceeded(ctx, des->SetKey(key.Words()), "IUserDES::SetKey"))
        return;
    GuardedBuffer keyOut(8, GuardedBuffer::Use::Output);
    ctx.Calling("IUserDES::GetKey");
    if (support::UncalledSlotSucceeded(ctx, des->GetKey(keyOut.Words()), "IUserDES::GetKey")) {
        if (const std::string damage = keyOut.CanaryDamage(); !damage.empty())
            ctx.Fail("IUserDES::GetKey " + damage);
        // Parity bits (the low bit of every byte) are the component's to keep.
        const std::uint32_t mask = 0xFEFEFEFEu;
        if ((keyOut.Words()[0] & mask) != (key.Words()[0] & mask) ||
            (keyOut.Words()[1] & mask) != (key.Words()[1] & mask))
            ctx.Fail(Expected("IUserDES::GetKey", Hex(key.Bytes(), 8), Hex(keyOut.Bytes(), 8)));
    }
    // In place: one block buffer, exactly 8 bytes, nothing past it touched.
    GuardedBuffer data(8, GuardedBuffer::Use::Output);
    const std::uint8_t plain[8] = {0x4e, 0x6f, 0x77, 0x20, 0x69, 0x73, 0x20, 0x74};
    std::memcpy(data.Bytes(), plain, 8);
    ctx.Calling("IUserDES::Encrypt");
    if (!CallSucceeded(ctx, des->Encrypt(data.Words()), "IUserDES::Encrypt"))
        return;
    const auto expected = support::OpenSslDes(key.Bytes(), plain, true);
    if (std::memcmp(data.Bytes(), expected.data(), 8) != 0)
        ctx.Fail(Expected("IUserDES::Encrypt of " + Hex(plain, 8) + " under " + Hex(key.Bytes(), 8),
                          Hex(expected.data(), 8), Hex(data.Bytes(), 8)));
    if (const std::string damage = data.CanaryDamage(); !damage.empty())
        ctx.Fail("IUserDES::Encrypt " + damage);
    ctx.Calling("IUserDES::Decrypt");
    if (!CallSucceeded(ctx, des->Decrypt(data.Words()), "IUserDES::Decrypt"))
        return;
    if (std::memcmp(data.Bytes(), plain, 8) != 0)
        ctx.Fail(Expected("IUserDES::Decrypt of the encrypted block", Hex(plain, 8), Hex(data.Bytes(), 8)));
}

template <class Hash>
void CheckHash(Context& ctx, CryptoClassKind kind)
{
    const CryptoClass& entry = support::ClassOf(kind);
    const std::string name = entry.interfaceName;
    const std::uint32_t size = kind == CryptoClassKind::HashSha1 ? kSha1DigestBytes : kMd5DigestBytes;
    const char* digestName = kind == CryptoClassKind::HashSha1 ? "SHA1" : "MD5";
    auto hash = support::Create<Hash>(ctx, kind);
    if (!hash)
        return;
    {
        GuardedBuffer digest(size, GuardedBuffer::Use::Output);
        ctx.Calling(name + "::GetHash (before HashData)");
        if (const HRESULT hr = hash->GetHash(digest.Bytes()); SUCCEEDED(hr))
            ctx.Broke("hash.no-stale-digest",
                      Expected(name + "::GetHash before any HashData", "a failure status", StatusText(hr)));
        else if (!digest.Untouched())
            ctx.Note(name + "::GetHash before any HashData failed but wrote into the digest buffer");
    }
    std::uint32_t reported = 0;
    ctx.Calling(name + "::GetHashSize");
    if (support::UncalledSlotSucceeded(ctx, hash->GetHashSize(&reported), name + "::GetHashSize") && reported != size)
        ctx.Fail(Expected(name + "::GetHashSize", std::to_string(size), std::to_string(reported)));

    // "abc", then nothing: each call starts afresh, and 0 bytes is valid.
    const std::string abc = "abc";
    for (const std::string& message : {abc, std::string()}) {
        GuardedBuffer input(message.size(), GuardedBuffer::Use::Input);
        std::memcpy(input.Bytes(), message.data(), message.size());
        ctx.Calling(name + "::HashData");
        if (!CallSucceeded(ctx, hash->HashData(input.Bytes(), static_cast<std::uint32_t>(message.size())),
                           name + "::HashData of " + std::to_string(message.size()) + " bytes"))
            return;
        GuardedBuffer digest(size, GuardedBuffer::Use::Output);
        ctx.Calling(name + "::GetHash");
        if (!CallSucceeded(ctx, hash->GetHash(digest.Bytes()), name + "::GetHash"))
            return;
        const Bytes expected =
            support::OpenSslDigest(digestName, reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
        const std::string got = Hex(digest.Bytes(), size);
        if (got != Hex(expected))
            ctx.Fail(Expected(name + " of '" + message + "' (" + std::to_string(message.size()) +
                                  " bytes, after the object hashed " + (message.empty() ? "'abc'" : "nothing") + ")",
                              Hex(expected), got));
        if (const std::string damage = digest.CanaryDamage(); !damage.empty())
            ctx.Fail(name + "::GetHash " + damage);
    }
    // A refused HashData must not leave an earlier digest to be read as if it
    // were this input's: after "abc" succeeded, GetHash may fail or give the
    // empty message's digest, never the digest of "abc".
    const auto* abcBytes = reinterpret_cast<const std::uint8_t*>(abc.data());
    ctx.Calling(name + "::HashData");
    if (!CallSucceeded(ctx, hash->HashData(abcBytes, 3), name + "::HashData of 3 bytes"))
        return;
    ctx.Calling(name + "::HashData (null, 8)");
    if (SUCCEEDED(hash->HashData(nullptr, 8)))
        return;  // told by contract.null-pointers
    GuardedBuffer digest(size, GuardedBuffer::Use::Output);
    ctx.Calling(name + "::GetHash (after a refused HashData)");
    const HRESULT hr = hash->GetHash(digest.Bytes());
    if (FAILED(hr))
        return;
    const std::string got = Hex(digest.Bytes(), size);
    const std::string what = name + "::GetHash after HashData of 'abc' and a refused HashData";
    if (got == Hex(support::OpenSslDigest(digestName, abcBytes, 3)))
        ctx.Broke("hash.no-stale-digest", what + " succeeded with the digest of 'abc' (" + got +
                                              "): a stale digest handed out as the refused input's");
    else if (got == Hex(support::OpenSslDigest(digestName, abcBytes, 0)))
        ctx.Choice(what + " gave the empty message's digest; the bundled component fails (no digest)");
    else
        ctx.Broke("hash.no-stale-digest",
                  Expected(what, "a failure or the empty message's digest", StatusText(hr) + " with " + got));
}

// Four threads, each with its own objects of every class, give what one
// thread gives alone. The inputs follow from the check's seed alone, so the
// failure's replay line gives the same inputs (the interleaving is the
// scheduler's; contract.shared-state catches shared state on every run).
void CheckThreads(Context& ctx)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    struct Outcome {
        std::vector<std::string> rounds;  // each round's digests and DES block, as hex
        std::string failure;
        std::string failedCall;
        HRESULT status = S_OK;
    };
    const std::uint64_t seed = ctx.Seed();
    CallRecorder* recorder = ctx.Recorder();
    auto work = [seed, recorder]() {
        Outcome outcome;
        auto fail = [&](const std::string& what, HRESULT hr) {
            if (outcome.failure.empty()) {
                outcome.failure =
                    what + " failed (" + StatusText(hr) + ") in round " + std::to_string(outcome.rounds.size() + 1);
                outcome.failedCall = what;
                outcome.status = hr;
            }
        };
        ComPtr<IHashSHA1> sha1;
        ComPtr<IHashMD5> md5;
        ComPtr<IUserDES> des;
        HRESULT hr = support::CreateObject(recorder, support::ClassOf(CryptoClassKind::HashSha1), sha1.Put());
        if (FAILED(hr) || !sha1)
            return fail("CoCreateInstance(IHashSHA1)", hr), outcome;
        hr = support::CreateObject(recorder, support::ClassOf(CryptoClassKind::HashMd5), md5.Put());
        if (FAILED(hr) || !md5)
            return fail("CoCreateInstance(IHashMD5)", hr), outcome;
        hr = support::CreateObject(recorder, support::ClassOf(CryptoClassKind::UserDes), des.Put());
        if (FAILED(hr) || !des)
            return fail("CoCreateInstance(IUserDES)", hr), outcome;
        std::mt19937_64 random(seed);
        for (int round = 0; round < kRounds; ++round) {
            const Bytes message = support::RandomBytes(random, random() % 300);
            std::uint32_t key[2] = {static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
            std::uint32_t block[2] = {static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
            std::string answers;
            std::uint8_t digest[20];
            // Every round runs whatever the last one did, so one failure does
            // not hide the rest.
            auto digestOf = [&](auto* hash, std::size_t size, const char* name) {
                if (FAILED(hr = hash->HashData(message.data(), static_cast<std::uint32_t>(message.size()))))
                    return fail(std::string(name) + "::HashData", hr);
                if (FAILED(hr = hash->GetHash(digest)))
                    return fail(std::string(name) + "::GetHash", hr);
                answers += Hex(digest, size) + " ";
            };
            digestOf(sha1.Get(), 20, "IHashSHA1");
            digestOf(md5.Get(), 16, "IHashMD5");
            if (FAILED(hr = des->SetKey(key)) || FAILED(hr = des->Encrypt(block)))
                fail("IUserDES::SetKey/Encrypt", hr);
            else
                answers += Hex(reinterpret_cast<std::uint8_t*>(block), 8);
            outcome.rounds.push_back(std::move(answers));
        }
        return outcome;
    };
    ctx.Calling("one thread alone");
    const Outcome alone = work();
    if (!alone.failure.empty()) {
        // A slot not written yet is what is left to do, as in every other check.
        if (alone.status == E_NOTIMPL)
            ctx.NotImplemented(alone.failedCall);
        else
            ctx.Fail("one thread alone: " + alone.failure);
        return;
    }
    ctx.Calling(std::to_string(kThreads) + " threads at once");
    std::vector<Outcome> outcomes(kThreads);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] { outcomes[t] = work(); });
    }
    for (int t = 0; t < kThreads; ++t) {
        const std::string thread = "thread " + std::to_string(t + 1) + " of " + std::to_string(kThreads);
        if (!outcomes[t].failure.empty())
            ctx.Fail(thread + ": " + outcomes[t].failure);
        for (std::size_t round = 0; round < outcomes[t].rounds.size(); ++round)
            if (outcomes[t].rounds[round] != alone.rounds[round]) {
                ctx.Fail(thread + ", round " + std::to_string(round + 1) + " of " + std::to_string(kRounds) +
                         " (inputs from check seed " + std::to_string(seed) +
                         "): SHA-1, MD5 and DES answers differ from one thread alone\nexpected: " +
                         alone.rounds[round] + "\ngot:      " + outcomes[t].rounds[round]);
                break;
            }
    }
}

}  // namespace

void AddDesAndHashChecks(std::vector<CheckDef>& checks, Level)
{
    for (const CryptoClass& entry : kCryptoClasses)
        checks.push_back({std::string("contract.") + support::ShortName(entry.kind) + ".query-interface",
                          std::string(entry.interfaceName) + " answers for IUnknown and itself only",
                          [&entry](Context& ctx) { CheckQueryInterface(ctx, entry); }});
    checks.push_back(
        {"contract.null-pointers", "every class refuses null pointers with a failure status", &CheckNullPointers});
    checks.push_back({"contract.des.protocol", "key before use, GetKey, one block in place within 8 bytes", &CheckDes});
    checks.push_back(
        {"contract.sha1.protocol",
         "no digest before HashData, 0 bytes, each call afresh, 20 bytes out, no stale digest after a refused call",
         [](Context& ctx) { CheckHash<IHashSHA1>(ctx, CryptoClassKind::HashSha1); }});
    checks.push_back(
        {"contract.md5.protocol",
         "no digest before HashData, 0 bytes, each call afresh, 16 bytes out, no stale digest after a refused call",
         [](Context& ctx) { CheckHash<IHashMD5>(ctx, CryptoClassKind::HashMd5); }});
    checks.push_back({"contract.threads", "objects used from 4 threads at once answer as from one", &CheckThreads});
}

}  // namespace checks::contract

namespace checks {

std::vector<CheckDef> ContractSuite(const SuiteOptions& options)
{
    std::vector<CheckDef> checks;
    contract::AddDesAndHashChecks(checks, options.level);
    contract::AddRsaChecks(checks, options.level);
    contract::AddSetterLengthChecks(checks, options.level);
    contract::AddSharedStateChecks(checks, options.level);
    return checks;
}

}  // namespace checks
