// The recording proxies over every shape of slot: what a call records (its
// inputs only as far as the caller's lengths, outputs only up to the
// capacity passed in and only after a success, scratch paths as their
// placeholder, buffers over 1 MiB as their length) and that the caller gets
// the component's own answers and pointers; and the record's way from the
// child to the bundle.
#include "runner/call_record.h"
#include "runner/replay_bundle.h"
#include "runner/report_frames.h"
#include "suites/recording_proxies.h"

#include <runtime/com_ptr.h>
#include <runtime/object_binding.h>
#include <tarvel/crypto.h>

#include <common/hex_format.h>

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

using checks::CallValue;

std::string Shown(const std::vector<CallValue>& values)
{
    std::string text;
    for (const CallValue& value : values) {
        text += " " + value.name + "=";
        switch (value.kind) {
        case CallValue::Kind::Null:
            text += "null";
            break;
        case CallValue::Kind::Number:
            text += std::to_string(value.number);
            break;
        case CallValue::Kind::Bytes:
            text += "hex:" + HexBytes(value.bytes.data(), value.bytes.size());
            break;
        case CallValue::Kind::Text:
        case CallValue::Kind::Path:
            text += "'" + value.bytes + "'";
            break;
        case CallValue::Kind::Capacity:
            text += "capacity:" + std::to_string(value.number);
            break;
        case CallValue::Kind::Large:
            text += "large:" + std::to_string(value.number) + (value.bytes.size() == 32 ? "+sha256" : "");
            break;
        }
    }
    return text;
}

// Each call as one line: "IUserRSA::GetBase words=null count=0 -> 0x00000000 count=0".
class LineRecorder final : public checks::CallRecorder {
public:
    std::vector<std::string> lines;

    std::uint64_t Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                          std::vector<CallValue> inputs) override
    {
        std::lock_guard lock(m_mutex);
        lines.push_back("#" + std::to_string(object) + " " + std::string(interfaceName) + "::" + std::string(method) +
                        Shown(inputs));
        return lines.size();
    }
    void Returned(std::uint64_t call, HRESULT status, std::vector<CallValue> outputs) override
    {
        std::lock_guard lock(m_mutex);
        lines[call - 1] += " -> " + checks::StatusText(status) + Shown(outputs);
    }

private:
    std::mutex m_mutex;
};

class CallRecording : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("TARVEL_COMPONENT", TARVEL_FAULTY_COMPONENT, 1);
        unsetenv("TARVEL_FAULT");
        ASSERT_TRUE(AfxOleInit()) << CoLastErrorText();
    }
    template <class Interface>
    ComPtr<Interface> Make(CryptoClassKind kind)
    {
        ComPtr<Interface> object;
        for (const CryptoClass& entry : kCryptoClasses) {
            if (entry.kind == kind) {
                EXPECT_EQ(checks::support::CreateObject(&recorder, entry, object.Put()), S_OK);
            }
        }
        return object;
    }
    LineRecorder recorder;
};

TEST_F(CallRecording, EachSlotShapeRecordsWhatTheCallerPassedAndGot)
{
    auto sha1 = Make<IHashSHA1>(CryptoClassKind::HashSha1);
    auto des = Make<IUserDES>(CryptoClassKind::UserDes);
    auto rsa = Make<IUserRSA>(CryptoClassKind::UserRsa);
    ASSERT_TRUE(sha1 && des && rsa);
    const std::string folder = (std::filesystem::temp_directory_path() / "tarvel-check-XXXXXX").string();
    std::string made = folder;
    ASSERT_TRUE(mkdtemp(made.data()));
    const std::string path = made + "/key.asy";
    const std::vector<std::uint8_t> large(2u << 20, 0);

    std::uint8_t digest[20];
    std::uint32_t key[2] = {0x01234567, 0x89abcdef}, block[2] = {0x03020100, 0x07060504};
    std::uint32_t count = 5, length = 4, words[4] = {};
    char text[16] = {};
    void* unknown = nullptr;
    const struct {
        std::function<HRESULT()> call;
        std::string recorded;
    } cases[] = {
        {[&] { return sha1->HashData(reinterpret_cast<const std::uint8_t*>("abcdef"), 3); },
         "#1 IHashSHA1::HashData data=hex:616263 bytes=3 -> 0x00000000"},
        {[&] { return sha1->GetHash(digest); }, "#1 IHashSHA1::GetHash digest=capacity:20 -> 0x00000000 "
                                                "digest=hex:a9993e364706816aba3e25717850c26c9cd0d89d"},
        {[&] { return sha1->GetHash(nullptr); }, "#1 IHashSHA1::GetHash digest=null -> 0x80004003"},
        {[&] { return sha1->HashData(large.data(), static_cast<std::uint32_t>(large.size())); },
         "#1 IHashSHA1::HashData data=large:2097152+sha256 bytes=2097152 -> 0x00000000"},
        {[&] { return des->SetKey(key); }, "#2 IUserDES::SetKey key=hex:67452301efcdab89 -> 0x00000000"},
        {[&] { return des->Encrypt(block); },
         "#2 IUserDES::Encrypt block=hex:0001020304050607 -> 0x00000000 block=hex:" +
             HexBytes(block, 0)},  // filled in below: the block as it came back
        {[&] { return rsa->GetBase(nullptr, &count); },
         "#3 IUserRSA::GetBase words=null count=5 -> 0x00000000 count=0"},
        {[&] { return rsa->SetUserId("Checker and more", 7); },
         "#3 IUserRSA::SetUserId text='Checker' length=7 nulAfter=0 -> 0x00000000"},
        {[&] { return rsa->GetUserId(text, &length); },
         "#3 IUserRSA::GetUserId text=capacity:4 length=4 -> 0x8007007A length=7"},
        {[&] { return length = 16, rsa->GetUserId(text, &length); },
         "#3 IUserRSA::GetUserId text=capacity:16 length=16 -> 0x00000000 length=7 text='Checker'"},
        {[&] { return count = 4, rsa->GetPublicKey(words, &count); },
         "#3 IUserRSA::GetPublicKey words=capacity:16 count=4 -> 0x00000000 count=0 words=hex:"},
        {[&] { return rsa->SaveAsyFile(path.c_str()); }, "#3 IUserRSA::SaveAsyFile path='{scratch1}/key.asy' -> "},
        {[&] { return rsa->QueryInterface(IID_IUnknown, &unknown); },
         "#3 IUserRSA::QueryInterface iid=hex:0000000000000000c000000000000046 object=capacity:8 -> 0x00000000 "
         "object=3"},
        {[&] { return static_cast<IUnknown*>(unknown)->Release(), S_OK; },
         "#3 IUserRSA::Release -> 0x00000000 count=1"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const HRESULT status = cases[i].call();
        ASSERT_EQ(recorder.lines.size(), i + 4) << "one record a call";  // after three creations
        std::string expected = cases[i].recorded;
        if (expected.find("IUserDES::Encrypt") != std::string::npos)
            expected += HexBytes(block, 8);
        const std::string& line = recorder.lines.back();
        // The status the caller got is the one recorded.
        EXPECT_NE(line.find(" -> " + checks::StatusText(status)), std::string::npos) << line;
        EXPECT_EQ(line.substr(0, expected.size()), expected);
    }
    // The caller's pointers are the component's answers through the same
    // proxy: IUnknown of the object is the object it was asked of.
    EXPECT_EQ(unknown, static_cast<void*>(rsa.Get()));
    EXPECT_EQ(recorder.lines[0], "#0 IHashSHA1::CoCreateInstance -> 0x00000000 object=1");
    std::filesystem::remove_all(made);
}

}  // namespace

namespace {

using checks::runner::FrameKind;

// What the child sends arrives whole at the parent: each call's inputs with
// its answers, a call that never returned kept with its inputs, and a
// record that reaches its limit saying where it stops.
TEST(CallRecordTransport, TheBundleHoldsEachCallAndSaysWhereTheRecordStops)
{
    const int fd = memfd_create("call-records", MFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    checks::runner::CallRecordSender sender(fd);
    const auto bytes = [](std::string value) { return CallValue{"data", CallValue::Kind::Bytes, 0, value}; };
    sender.Returned(sender.Started(1, "IHashSHA1", "HashData", {bytes("abc")}, ""), S_OK, {});
    sender.Returned(sender.Started(1, "IHashSHA1", "GetHash", {{"digest", CallValue::Kind::Null, 0, {}}}, ""),
                    E_POINTER, {});
    sender.Started(2, "IUserRSA", "Decrypt", {bytes("\x01\x02")}, "");  // never returns
    // 1 MiB a call: the record is full after 16 MiB.
    std::uint64_t last = 0;
    for (int i = 0; i < 20; ++i)
        if (const std::uint64_t call =
                sender.Started(1, "IHashSHA1", "HashData", {bytes(std::string(1u << 20, 'x'))}, ""))
            sender.Returned(last = call, S_OK, {});
    sender.Flush();

    checks::runner::FrameReader reader;
    char buffer[65536];
    for (off_t at = 0; const ssize_t n = pread(fd, buffer, sizeof buffer, at); at += n)
        reader.Append(buffer, static_cast<std::size_t>(n));
    close(fd);
    checks::runner::CheckResult result;
    result.name = "vectors.sha1.short-msg";
    result.suite = "vectors";
    for (const auto& frame : reader.Take())
        if (frame.kind == FrameKind::CallStarted || frame.kind == FrameKind::CallReturned)
            checks::runner::AddCallRecord(result, frame.kind == FrameKind::CallStarted, frame.text);
    EXPECT_EQ(result.records.size(), last);
    EXPECT_NE(result.recordIncomplete.find("the record stops at call " + std::to_string(last + 1)), std::string::npos)
        << result.recordIncomplete;

    const std::string bundle = checks::runner::ReplayBundle(checks::runner::RunSummary{}, result);
    for (const std::string says :
         {"{\"call\": 1, \"object\": 1, \"interface\": \"IHashSHA1\", \"method\": \"HashData\",\n"
          "     \"in\": {\"data\": {\"hex\": \"616263\"}}, \"status\": \"0x00000000\",\n     \"out\": {}}",
          "\"method\": \"GetHash\",\n     \"in\": {\"digest\": null}, \"status\": \"0x80004003\"",
          "\"method\": \"Decrypt\",\n     \"in\": {\"data\": {\"hex\": \"0102\"}}, \"returned\": false}",
          "\"call_records_complete\": false"})
        EXPECT_NE(bundle.find(says), std::string::npos) << says;
}

}  // namespace
