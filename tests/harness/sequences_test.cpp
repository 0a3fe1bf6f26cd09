// The engine's call sequences on the recording fake: which calls each makes,
// with which arguments, and how a failing call ends it with that call named.
#include "fake_component.h"

#include "harness/des_round_trip.h"
#include "harness/key_files.h"
#include "harness/key_numbers.h"
#include "harness/md5_digest.h"
#include "harness/rsa_key.h"
#include "harness/rsa_round_trip.h"

#include "runtime/object_binding.h"
#include "runtime/com_ptr.h"

#include <tarvel/crypto.h>
#include <tarvel/ids.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;
using harness::MaybeFailure;

constexpr HRESULT kRefused = static_cast<HRESULT>(0x80070057u);

template <class Interface>
ComPtr<Interface> Create(const CLSID& clsid, const IID& iid)
{
    ComPtr<Interface> object;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.Put())));
    return object;
}

// Object 1 holds a generated 4-word key, object 2 is empty.
struct TwoKeys {
    ComPtr<IUserRSA> source = Create<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ComPtr<IUserRSA> target = Create<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    TwoKeys() { EXPECT_TRUE(SUCCEEDED(source->GenerateKey("Testing", 4))); }
};

// Runs a sequence on a fresh pair of keys and gives its failure, if any.
using Sequence = std::function<MaybeFailure(TwoKeys&)>;

template <class T>
MaybeFailure FailureOf(const harness::Result<T>& result)
{
    return result ? MaybeFailure() : MaybeFailure(result.Failure());
}

const std::vector<std::pair<const char*, Sequence>> kSequences = {
    {"GenerateKeyTimed", [](TwoKeys& keys) { return FailureOf(harness::GenerateKeyTimed(*keys.target, "Other", 2)); }},
    {"CopyKey", [](TwoKeys& keys) { return FailureOf(harness::CopyKey(*keys.source, *keys.target)); }},
    {"FetchDisplayedKey", [](TwoKeys& keys) { return harness::FetchDisplayedKey(*keys.source).failure; }},
    {"MakeRoundTripData", [](TwoKeys& keys) { return FailureOf(harness::MakeRoundTripData(*keys.source)); }},
    {"RunRoundTrip",
     [](TwoKeys& keys) {
         return harness::RunRoundTrip(*keys.source, Words{1, 2, 3, 4}).failure;
     }},
};

TEST(EngineSequences, EachFailingCallEndsItsSequenceAndIsNamedWithItsStatus)
{
    const struct {
        const char* sequence;
        const char* method;
    } cases[] = {
        {"GenerateKeyTimed", "GenerateKey"},
        {"CopyKey", "Clear"},
        {"CopyKey", "GetBase"},
        {"CopyKey", "SetBase"},
        {"CopyKey", "GetKeyPart8"},
        {"CopyKey", "SetKeyPart8"},
        {"CopyKey", "SetCode"},
        {"CopyKey", "SetUserId"},
        {"FetchDisplayedKey", "GetBase"},
        {"FetchDisplayedKey", "GetPrivateKey"},
        {"MakeRoundTripData", "GetKeyLength"},
        {"MakeRoundTripData", "GetBase"},
        {"RunRoundTrip", "Encrypt"},
        {"RunRoundTrip", "Decrypt"},
    };
    FakeComponent fake;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sequence) + " with " + c.method + " failing");
        fake.reset();
        TwoKeys keys;
        fake.failMethod(c.method, kRefused);
        const auto sequence = std::find_if(kSequences.begin(), kSequences.end(),
                                           [&](const auto& row) { return std::string(row.first) == c.sequence; });
        ASSERT_NE(sequence, kSequences.end());
        const MaybeFailure failure = sequence->second(keys);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->call, c.method);
        EXPECT_EQ(failure->status, kRefused);
        // Nothing is called after the call that failed.
        const std::vector<FakeCall> calls = fake.calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().method, c.method) << testing::PrintToString(fake.callTexts());
    }
    // Without a failure every sequence runs through.
    for (const auto& [name, sequence] : kSequences) {
        fake.reset();
        TwoKeys keys;
        if (std::string(name) == "RunRoundTrip")
            continue;  // its data is only below the base of a key it was made for
        EXPECT_FALSE(sequence(keys).has_value()) << name;
    }
}

TEST(EngineSequences, TheCopyReadsEachNumberBySizeThenBufferAndMarksTheCopy)
{
    FakeComponent fake;
    TwoKeys keys;
    ASSERT_TRUE(harness::CopyKey(*keys.source, *keys.target));
    const std::vector<std::string> parts = {"Base",     "PublicKey", "PrivateKey", "KeyPart4",
                                            "KeyPart5", "KeyPart6",  "KeyPart7",   "KeyPart8"};
    std::vector<std::string> sourceCalls = {"GenerateKey"}, targetCalls = {"Clear"};
    for (const std::string& part : parts) {
        sourceCalls.insert(sourceCalls.end(), {"Get" + part, "Get" + part});
        targetCalls.push_back("Set" + part);
    }
    targetCalls.insert(targetCalls.end(), {"SetCode", "SetUserId"});
    EXPECT_EQ(fake.methods(1), sourceCalls);
    EXPECT_EQ(fake.methods(2), targetCalls);
    const auto target = fake.callsOf(2);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(FakeComponent::ParseWords(target[1 + i].arg("words")), FakeComponent::KeyNumber(int(i) + 1, 4))
            << parts[i];
        // The size query goes out with a null buffer, the read with the count it gave.
        const auto reads = fake.callsOf(1);
        EXPECT_EQ(reads[1 + 2 * i].arg("words"), "null");
        EXPECT_EQ(reads[2 + 2 * i].arg("count"), target[1 + i].arg("count"));
    }
    EXPECT_EQ(FakeComponent::NthCall(target, "SetCode").arg("text"), "60418");
    EXPECT_EQ(FakeComponent::NthCall(target, "SetUserId").arg("text"), "Second");
}

TEST(EngineSequences, CountsBeyondWhatWasAskedOrBelievableAreRefused)
{
    FakeComponent fake;
    const struct {
        const char* method;
        std::uint32_t count;
        std::function<MaybeFailure(TwoKeys&)> run;
        const char* reason;
    } cases[] = {
        {"GetBase", harness::kMostWordsBelieved + 1,
         [](TwoKeys& keys) { return harness::FetchDisplayedKey(*keys.source).failure; },
         "GetBase reported 1048577 words, more than the 1048576 it may give"},
        {"GetKeyLength", harness::kMostWordsBelieved + 1,
         [](TwoKeys& keys) { return FailureOf(harness::MakeRoundTripData(*keys.source)); },
         "GetKeyLength reported 1048577 words, more than the 1048576 it may give"},
        {"GetKeyLength", 0, [](TwoKeys& keys) { return FailureOf(harness::MakeRoundTripData(*keys.source)); },
         "The RSA object holds no key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " reporting " + std::to_string(c.count));
        fake.reset();
        TwoKeys keys;
        fake.setReportedCount(c.method, c.count);
        const MaybeFailure failure = c.run(keys);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->call, c.method);
        EXPECT_EQ(failure->status, S_OK);  // the call went through; its answer cannot be used
        EXPECT_EQ(failure->reason, c.reason);
    }
}

TEST(EngineSequences, DesAndMd5NameTheirFailingCallAndKeepWhatCameBefore)
{
    FakeComponent fake;
    const harness::DesWords key = {0x01020304, 0x05060708}, data = {0xCAFEF00D, 0x12345678};
    for (const char* method : {"", "SetKey", "Encrypt", "Decrypt"}) {
        SCOPED_TRACE(method);
        fake.reset();
        auto des = Create<IUserDES>(CLSID_UserDES, IID_IUserDES);
        if (*method)
            fake.failMethod(method, kRefused);
        const harness::DesRoundTrip trip = harness::RunDesRoundTrip(*des, key, data);
        EXPECT_EQ(trip.failure.has_value(), *method != 0);
        if (trip.failure) {
            EXPECT_EQ(trip.failure->call, std::string("IUserDES::") + method);
        }
        // The fake XORs with the key: the encoded block is only there once Encrypt went through.
        EXPECT_EQ(trip.encoded.has_value(), std::string(method) == "" || std::string(method) == "Decrypt");
        if (trip.encoded) {
            EXPECT_EQ(*trip.encoded, (harness::DesWords{data[0] ^ key[0], data[1] ^ key[1]}));
        }
        EXPECT_EQ(trip.decoded.has_value(), *method == 0);
        if (trip.decoded) {
            EXPECT_EQ(*trip.decoded, data);
        }
    }
    const std::uint8_t bytes[40] = {1, 2, 3};
    for (const char* method : {"HashData", "GetHash"}) {
        fake.reset();
        auto md5 = Create<IHashMD5>(CLSID_HashMD5, IID_IHashMD5);
        fake.failMethod(method, kRefused);
        const auto digest = harness::Md5Of(*md5, bytes);
        ASSERT_FALSE(digest) << method;
        EXPECT_EQ(digest.Failure().call, std::string("IHashMD5::") + method);
        EXPECT_EQ(digest.Failure().status, kRefused);
    }
}

TEST(EngineSequences, KeyFilesAreSavedUnderOneBaseAndEachSaveIsToldApart)
{
    FakeComponent fake;
    TwoKeys keys;
    fake.failMethod("SaveRkyFile", kRefused);
    const auto saves = harness::SaveKeyFiles(*keys.source, "/tmp/keys/MyKey");
    EXPECT_EQ(saves[0].path, "/tmp/keys/MyKey.wky");
    EXPECT_EQ(saves[1].path, "/tmp/keys/MyKey.rky");
    EXPECT_EQ(saves[2].path, "/tmp/keys/MyKey.asy");
    EXPECT_FALSE(saves[0].failure.has_value());
    ASSERT_TRUE(saves[1].failure.has_value());
    EXPECT_EQ(saves[1].failure->call, "SaveRkyFile");
    EXPECT_FALSE(saves[2].failure.has_value());  // one refused save does not stop the others
    EXPECT_EQ(FakeComponent::NthCall(fake.callsOf(1), "SaveAsyFile").arg("path"), "/tmp/keys/MyKey.asy");

    const std::pair<const char*, const char*> names[] = {
        {"MyKey.wky", "MyKey"}, {"MyKey", "MyKey"}, {"a.b.asy", "a.b"}, {"/x/MyKey.rky", "/x/MyKey"}};
    for (const auto& [file, base] : names)
        EXPECT_EQ(harness::KeyFileBaseName(file), base) << file;
}

}  // namespace
