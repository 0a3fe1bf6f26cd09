// The fake component served through CoCreateInstance: the wizard and dialog
// tests trust what it records and the failures it injects, so both are pinned
// down here.
#include "fake_component.h"

#include "runtime/object_binding.h"
#include "runtime/com_ptr.h"

#include <tarvel/crypto.h>
#include <tarvel/ids.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

template <class T>
ComPtr<T> Make(const CLSID& clsid, const IID& iid)
{
    ComPtr<T> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.Put()), S_OK) << CoLastErrorText();
    return object;
}

TEST(FakeComponent, RecordsCallsWithArgumentsInOrder)
{
    FakeComponent fake;
    auto first = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    auto second = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GenerateKey("Testing", 16), S_OK);
    const Words code = {1, 2};
    EXPECT_EQ(second->SetBase(code.data(), 2), S_OK);
    EXPECT_EQ(second->SetUserId("Second", 6), S_OK);

    const auto calls = fake.calls();
    ASSERT_EQ(calls.size(), 3u) << testing::PrintToString(fake.callTexts());
    EXPECT_EQ(calls[0].object, 1);
    EXPECT_EQ(calls[0].arg("userId"), "Testing");
    EXPECT_EQ(calls[0].arg("keyWords"), "16");
    EXPECT_EQ(calls[1].text(), "2 SetBase words=00000001,00000002 count=2");
    EXPECT_EQ(fake.methods(2), (std::vector<std::string>{"SetBase", "SetUserId"}));
    EXPECT_EQ(fake.callsOf(2)[1].arg("text"), "Second");
}

TEST(FakeComponent, GettersFollowTheCountProtocol)
{
    FakeComponent fake;
    auto rsa = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(rsa);
    std::uint32_t count = 99;
    EXPECT_EQ(rsa->GetBase(nullptr, &count), S_OK);
    EXPECT_EQ(count, 0u) << "no key yet";

    ASSERT_EQ(rsa->GenerateKey("u", 4), S_OK);
    std::uint32_t length = 0;
    EXPECT_EQ(rsa->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(rsa->GetBase(nullptr, &count), S_OK);
    EXPECT_EQ(count, 4u);

    Words buffer(4, 0xEEEEEEEE);
    count = 3;
    EXPECT_EQ(rsa->GetBase(buffer.data(), &count), E_INVALIDARG);
    EXPECT_EQ(buffer, Words(4, 0xEEEEEEEE)) << "a short buffer is left alone";
    count = 4;
    EXPECT_EQ(rsa->GetBase(buffer.data(), &count), S_OK);
    EXPECT_EQ(buffer, FakeComponent::KeyNumber(1, 4));
    EXPECT_EQ(buffer[3] & 0x80000000u, 0x80000000u);

    const auto last = fake.calls().back();
    EXPECT_EQ(last.arg("count"), "4");
    EXPECT_EQ(FakeComponent::ParseWords(last.out("words")), buffer);
    EXPECT_EQ(rsa->GenerateKey("u", 257), E_INVALIDARG);
    EXPECT_EQ(rsa->GenerateKey("u", 0), E_INVALIDARG);
}

TEST(FakeComponent, EncryptionRoundTripsAndKeepsToTheKeyLength)
{
    FakeComponent fake;
    auto rsa = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(rsa);
    Words data = {1, 2, 3};
    Words cipher(3), plain(3);
    std::uint32_t produced = 3;
    EXPECT_EQ(rsa->Encrypt(data.data(), 3, cipher.data(), &produced), E_FAIL) << "no key";

    ASSERT_EQ(rsa->GenerateKey("u", 3), S_OK);
    produced = 3;
    ASSERT_EQ(rsa->Encrypt(data.data(), 3, cipher.data(), &produced), S_OK);
    EXPECT_NE(cipher, data);
    ASSERT_EQ(rsa->Decrypt(cipher.data(), produced, plain.data(), &produced), S_OK);
    EXPECT_EQ(plain, data);
    EXPECT_EQ(fake.calls().back().arg("inWords"), "3");

    Words atBase = FakeComponent::KeyNumber(1, 3);
    produced = 3;
    EXPECT_EQ(rsa->Encrypt(atBase.data(), 3, cipher.data(), &produced), E_INVALIDARG);
    produced = 2;
    EXPECT_EQ(rsa->Encrypt(data.data(), 3, cipher.data(), &produced), E_INVALIDARG);
}

TEST(FakeComponent, ReportedCountsOverrideWhatIsTrue)
{
    FakeComponent fake;
    auto rsa = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(rsa);
    ASSERT_EQ(rsa->GenerateKey("u", 2), S_OK);
    fake.setReportedCount("GetKeyLength", 1u << 21);
    fake.setReportedCount("GetBase", 3);
    fake.setReportedCount("Encrypt", 5);

    std::uint32_t count = 0;
    EXPECT_EQ(rsa->GetKeyLength(&count), S_OK);
    EXPECT_EQ(count, 1u << 21);
    EXPECT_EQ(rsa->GetBase(nullptr, &count), S_OK);
    EXPECT_EQ(count, 3u);
    Words base(3);
    EXPECT_EQ(rsa->GetBase(base.data(), &count), S_OK);
    EXPECT_EQ(base[2], 0u);

    Words data = {1, 2}, out = {0, 0, 0xCCCCCCCC};
    count = 2;
    EXPECT_EQ(rsa->Encrypt(data.data(), 2, out.data(), &count), S_OK);
    EXPECT_EQ(count, 5u) << "a careless component overstates its output";
    EXPECT_EQ(out[2], 0xCCCCCCCCu) << "but writes only within the capacity";
}

TEST(FakeComponent, InjectedFailuresHitTheChosenCall)
{
    FakeComponent fake;
    auto first = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    auto second = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(first && second);
    fake.failMethod("GenerateKey", E_OUTOFMEMORY, 2);
    fake.failMethod("Clear", E_NOTIMPL, 0, 2);

    EXPECT_EQ(first->GenerateKey("a", 2), S_OK);
    EXPECT_EQ(first->GenerateKey("b", 3), E_OUTOFMEMORY);
    std::uint32_t length = 0;
    EXPECT_EQ(first->GetKeyLength(&length), S_OK);
    EXPECT_EQ(length, 2u) << "the failed call changed nothing";
    EXPECT_EQ(first->GenerateKey("c", 4), S_OK);
    EXPECT_EQ(first->Clear(), S_OK);
    EXPECT_EQ(second->Clear(), E_NOTIMPL);
    EXPECT_EQ(second->Clear(), E_NOTIMPL);

    const auto calls = fake.calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[1].result, E_OUTOFMEMORY);
    EXPECT_EQ(calls[1].text(), "1 GenerateKey userId=b keyWords=3 = 0x8007000E");
}

TEST(FakeComponent, DesAndHashesAreDeterministic)
{
    FakeComponent fake;
    auto des = Make<IUserDES>(CLSID_UserDES, IID_IUserDES);
    auto md5 = Make<IHashMD5>(CLSID_HashMD5, IID_IHashMD5);
    auto sha1 = Make<IHashSHA1>(CLSID_HashSHA1, IID_IHashSHA1);
    ASSERT_TRUE(des && md5 && sha1);

    std::uint32_t block[2] = {0x01234567, 0x89ABCDEF};
    EXPECT_EQ(des->Encrypt(block), E_FAIL) << "no key";
    const std::uint32_t key[2] = {0x11111111, 0x22222222};
    ASSERT_EQ(des->SetKey(key), S_OK);
    ASSERT_EQ(des->Encrypt(block), S_OK);
    EXPECT_EQ(block[0], 0x01234567u ^ 0x11111111u);
    ASSERT_EQ(des->Decrypt(block), S_OK);
    EXPECT_EQ(block[1], 0x89ABCDEFu);

    std::uint8_t digest[kSha1DigestBytes] = {};
    EXPECT_EQ(md5->GetHash(digest), E_FAIL) << "nothing hashed yet";
    const std::uint8_t data[] = {'a', 'b', 'c'};
    ASSERT_EQ(md5->HashData(data, 3), S_OK);
    ASSERT_EQ(md5->GetHash(digest), S_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(digest, digest + kMd5DigestBytes), FakeComponent::Digest(data, 3, 16));
    ASSERT_EQ(sha1->HashData(nullptr, 0), S_OK);
    ASSERT_EQ(sha1->GetHash(digest), S_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(digest, digest + kSha1DigestBytes), FakeComponent::Digest(nullptr, 0, 20));
    EXPECT_EQ(fake.callsOf(2).at(1).arg("data"), "616263");
    EXPECT_EQ(fake.callsOf(3).front().arg("data"), "null");
}

TEST(FakeComponent, CountsReleasesAndUseAfterRelease)
{
    FakeComponent fake;
    IUserRSA* raw = nullptr;
    ASSERT_EQ(
        CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, reinterpret_cast<void**>(&raw)),
        S_OK);
    EXPECT_EQ(fake.liveObjects(), 1);
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(fake.callsAfterRelease(), 0);
    raw->Clear();
    raw->Release();
    EXPECT_EQ(fake.callsAfterRelease(), 2);
    EXPECT_EQ(fake.releasesOf(1), 2);
}

TEST(FakeComponent, ResetForgetsObjectsStillHeld)
{
    FakeComponent fake;
    auto held = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    ASSERT_TRUE(held);
    fake.reset();
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(held->Clear(), S_OK);
    EXPECT_TRUE(fake.calls().empty());
    auto fresh = Make<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    EXPECT_EQ(fake.createdObjects(), 1);
    held.Release();
    EXPECT_EQ(fake.releasesOf(1), 0) << "object 1 is the fresh one";
}

}  // namespace
