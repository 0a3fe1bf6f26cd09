#include "runner/call_replay.h"

#include "runner/call_answers.h"
#include "runner/replay_arguments.h"

#include <checks/guarded_buffer.h>
#include <runtime/object_binding.h>
#include <tarvel/classes.h>
#include <tarvel/crypto.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

namespace checks::runner {
namespace {

using Answers = std::vector<Answer>;

// An object the replay made, and why its answers cannot be compared word for
// word ("" when they can).
struct ReplayObject {
    IUnknown* pointer = nullptr;
    std::string interfaceName;
    std::string uncertain;
};

constexpr const char* kOwnKey = "they depend on a key the component chose itself (GenerateKey)";
constexpr const char* kAfterSkipped = "calls on an object after a call the replay could not issue";

class Replay {
public:
    explicit Replay(Context& ctx) : m_ctx(ctx) {}
    ~Replay()
    {
        for (const std::string& folder : m_folders) {
            std::error_code error;
            std::filesystem::remove_all(folder, error);
        }
    }
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    void Issue(const JsonValue& record);
    void Summarize(std::size_t records) const;

private:
    // Answers and status now; nullopt when the call cannot be issued (why set).
    std::optional<HRESULT> Call(ReplayObject* object, const std::string& interfaceName, const std::string& method,
                                const JsonValue* in, Answers& out, std::string& why);
    std::optional<HRESULT> Rsa(IUserRSA& rsa, ReplayObject& object, const std::string& method, const JsonValue* in,
                               Answers& out, std::string& why);
    std::optional<HRESULT> Des(IUserDES& des, const std::string& method, const JsonValue* in, Answers& out);
    template <class Hash>
    std::optional<HRESULT> HashCall(Hash& hash, std::uint32_t digestBytes, const std::string& method,
                                    const JsonValue* in, Answers& out, std::string& why);
    std::optional<HRESULT> Unknown(ReplayObject& object, const std::string& method, Answers& out);
    // The path to pass: a scratch folder's placeholder made a fresh folder;
    // nullopt (why said) for a path the replay will not let a file go to.
    std::optional<std::string> PathOf(const JsonValue* in, std::string& why);
    void Differs(const std::string& call, const std::string& what);

    Context& m_ctx;
    std::map<std::uint64_t, ReplayObject> m_objects;
    std::vector<std::string> m_folders;  // fresh scratch folders, {scratch1} first
    int m_issued = 0;
    int m_differing = 0;
    int m_notIssued = 0;
    int m_notCompared = 0;
    std::map<std::string, int> m_notComparedWhy;
};

std::optional<std::string> Replay::PathOf(const JsonValue* in, std::string& why)
{
    const JsonValue* path = in ? in->Field("path") : nullptr;
    const auto text = RecordedBytes(path ? path->Field("path") : nullptr);
    if (!text)
        return std::string();
    // A bundle is a file from elsewhere: the replay lets the component write
    // only in fresh folders of its own, or where no folder exists to write in.
    const std::filesystem::path recorded(*text);
    const bool climbs = std::any_of(recorded.begin(), recorded.end(), [](const auto& part) { return part == ".."; });
    const std::size_t close = text->find('}');
    const std::size_t index = std::strtoul(text->c_str() + std::min<std::size_t>(8, text->size()), nullptr, 10);
    // What follows the placeholder must stay inside the folder: "/name", not
    // "name", which would name a sibling of the fresh folder.
    const bool inside = close != std::string::npos && (close + 1 == text->size() || (*text)[close + 1] == '/');
    if (text->rfind("{scratch", 0) == 0 && inside && index > 0 && index <= 64 && !climbs) {
        while (m_folders.size() < index) {
            std::string pattern = (std::filesystem::temp_directory_path() / "tarvel-replay-XXXXXX").string();
            m_folders.push_back(mkdtemp(pattern.data()) ? pattern : std::string("/nonexistent"));
        }
        return m_folders[index - 1] + text->substr(close + 1);
    }
    std::error_code error;
    if (!climbs && recorded.is_absolute() && !std::filesystem::exists(recorded.parent_path(), error))
        return *text;
    why = "its path lies outside the check's scratch folders, and the replay writes files only in fresh ones";
    return std::nullopt;
}

std::optional<HRESULT> Replay::Rsa(IUserRSA& rsa, ReplayObject& object, const std::string& method, const JsonValue* in,
                                   Answers& out, std::string& why)
{
    using GetSlot = HRESULT (IUserRSA::*)(std::uint32_t*, std::uint32_t*);
    using SetSlot = HRESULT (IUserRSA::*)(const std::uint32_t*, std::uint32_t);
    using TextSlot = HRESULT (IUserRSA::*)(char*, std::uint32_t*);
    using SetTextSlot = HRESULT (IUserRSA::*)(const char*, std::uint32_t);
    using RawSlot = HRESULT (IUserRSA::*)(const std::uint32_t*, std::uint32_t, std::uint32_t*, std::uint32_t*);
    using PathSlot = HRESULT (IUserRSA::*)(const char*);
    static const std::map<std::string, GetSlot> getters = {{"GetBase", &IUserRSA::GetBase},
                                                           {"GetPublicKey", &IUserRSA::GetPublicKey},
                                                           {"GetPrivateKey", &IUserRSA::GetPrivateKey},
                                                           {"GetKeyPart4", &IUserRSA::GetKeyPart4},
                                                           {"GetKeyPart5", &IUserRSA::GetKeyPart5},
                                                           {"GetKeyPart6", &IUserRSA::GetKeyPart6},
                                                           {"GetKeyPart7", &IUserRSA::GetKeyPart7},
                                                           {"GetKeyPart8", &IUserRSA::GetKeyPart8}};
    static const std::map<std::string, SetSlot> setters = {{"SetBase", &IUserRSA::SetBase},
                                                           {"SetPublicKey", &IUserRSA::SetPublicKey},
                                                           {"SetPrivateKey", &IUserRSA::SetPrivateKey},
                                                           {"SetKeyPart4", &IUserRSA::SetKeyPart4},
                                                           {"SetKeyPart5", &IUserRSA::SetKeyPart5},
                                                           {"SetKeyPart6", &IUserRSA::SetKeyPart6},
                                                           {"SetKeyPart7", &IUserRSA::SetKeyPart7},
                                                           {"SetKeyPart8", &IUserRSA::SetKeyPart8}};
    static const std::map<std::string, TextSlot> textGetters = {{"GetUserId", &IUserRSA::GetUserId},
                                                                {"GetCode", &IUserRSA::GetCode}};
    static const std::map<std::string, SetTextSlot> textSetters = {{"SetUserId", &IUserRSA::SetUserId},
                                                                   {"SetCode", &IUserRSA::SetCode}};
    static const std::map<std::string, RawSlot> raw = {{"Encrypt", &IUserRSA::Encrypt},
                                                       {"Decrypt", &IUserRSA::Decrypt}};
    static const std::map<std::string, PathSlot> saves = {{"SaveWkyFile", &IUserRSA::SaveWkyFile},
                                                          {"SaveRkyFile", &IUserRSA::SaveRkyFile},
                                                          {"SaveAsyFile", &IUserRSA::SaveAsyFile}};
    const auto field = [in](const char* name) { return in ? in->Field(name) : nullptr; };
    // The getter protocol's answers: the count, and the items up to both the
    // capacity and the count.
    const auto gotten = [&](HRESULT status, const OutputBuffer& buffer, std::uint32_t* count, std::size_t itemBytes,
                            const char* itemsName, const char* countName) {
        out.push_back(count ? NumberAnswer(countName, *count) : Answer{countName, Answer::Kind::Null, 0, {}});
        if (SUCCEEDED(status) && buffer.Bytes() && count)
            out.push_back(
                BytesAnswer(itemsName, buffer.Bytes(), std::min<std::size_t>(buffer.Size(), *count * itemBytes)));
    };
    if (method == "Clear") {
        const HRESULT status = rsa.Clear();
        if (SUCCEEDED(status))
            object.uncertain.clear();
        return status;
    }
    if (method == "GenerateKey") {
        const InputBuffer userId(field("userId"), true);
        const HRESULT status =
            rsa.GenerateKey(userId.Chars(), static_cast<std::uint32_t>(RecordedNumber(field("keyWords"))));
        if (SUCCEEDED(status))
            object.uncertain = kOwnKey;
        return status;
    }
    if (method == "GetKeyLength") {
        const OutputBuffer words(field("out"));
        const HRESULT status = rsa.GetKeyLength(words.Words());
        if (SUCCEEDED(status) && words.Words())
            out.push_back(NumberAnswer("out", *words.Words()));
        return status;
    }
    if (const auto slot = raw.find(method); slot != raw.end()) {
        const InputBuffer words(field("in"));
        const OutputBuffer buffer(field("out"));
        CountArgument outWords(field("outWords"));
        const HRESULT status =
            (rsa.*slot->second)(words.Words(), static_cast<std::uint32_t>(RecordedNumber(field("inWords"))),
                                buffer.Words(), outWords.Get());
        out.push_back(outWords.Get() ? NumberAnswer("outWords", *outWords.Get())
                                     : Answer{"outWords", Answer::Kind::Null, 0, {}});
        if (SUCCEEDED(status) && buffer.Bytes() && outWords.Get())
            out.push_back(
                BytesAnswer("out", buffer.Bytes(), std::min<std::size_t>(buffer.Size(), *outWords.Get() * 4)));
        return status;
    }
    if (const auto slot = getters.find(method); slot != getters.end()) {
        const OutputBuffer buffer(field("words"));
        CountArgument count(field("count"));
        const HRESULT status = (rsa.*slot->second)(buffer.Words(), count.Get());
        gotten(status, buffer, count.Get(), 4, "words", "count");
        return status;
    }
    if (const auto slot = textGetters.find(method); slot != textGetters.end()) {
        const OutputBuffer buffer(field("text"));
        CountArgument length(field("length"));
        const HRESULT status = (rsa.*slot->second)(buffer.Chars(), length.Get());
        gotten(status, buffer, length.Get(), 1, "text", "length");
        return status;
    }
    if (const auto slot = setters.find(method); slot != setters.end()) {
        const InputBuffer words(field("words"));
        const HRESULT status =
            (rsa.*slot->second)(words.Words(), static_cast<std::uint32_t>(RecordedNumber(field("count"))));
        if (SUCCEEDED(status) && method == "SetBase")
            object.uncertain.clear();
        return status;
    }
    if (const auto slot = textSetters.find(method); slot != textSetters.end()) {
        // A NUL after the length where the caller's text had one there (a
        // string's text), the guard page right after it otherwise.
        const InputBuffer text(field("text"), RecordedNumber(field("nulAfter")) == 1);
        return (rsa.*slot->second)(text.Chars(), static_cast<std::uint32_t>(RecordedNumber(field("length"))));
    }
    if (const auto slot = saves.find(method); slot != saves.end()) {
        const auto path = PathOf(in, why);
        if (!path)
            return std::nullopt;
        const HRESULT status = (rsa.*slot->second)(
            field("path") && field("path")->kind != JsonValue::Kind::Null ? path->c_str() : nullptr);
        out.push_back(FileAnswer("file", *path));
        return status;
    }
    if (method == "LoadAsyFile") {
        const bool hasPath = field("path") && field("path")->kind != JsonValue::Kind::Null;
        const auto path = PathOf(in, why);
        if (!path)
            return std::nullopt;
        // The file as the component read it then.
        if (const auto bytes = RecordedBytes(field("file")); bytes && hasPath)
            std::ofstream(*path, std::ios::binary | std::ios::trunc) << *bytes;
        const HRESULT status = rsa.LoadAsyFile(hasPath ? path->c_str() : nullptr);
        if (SUCCEEDED(status))
            object.uncertain.clear();
        return status;
    }
    return std::nullopt;
}

std::optional<HRESULT> Replay::Des(IUserDES& des, const std::string& method, const JsonValue* in, Answers& out)
{
    const auto field = [in](const char* name) { return in ? in->Field(name) : nullptr; };
    if (method == "SetKey") {
        const InputBuffer key(field("key"));
        return des.SetKey(key.Words());
    }
    if (method == "GetKey") {
        const OutputBuffer key(field("key"));
        const HRESULT status = des.GetKey(key.Words());
        if (SUCCEEDED(status) && key.Bytes())
            out.push_back(BytesAnswer("key", key.Bytes(), 8));
        return status;
    }
    if (method == "Encrypt" || method == "Decrypt") {
        // In place: the block goes in and comes out in one buffer.
        const auto bytes = RecordedBytes(field("block"));
        std::unique_ptr<GuardedBuffer> block;
        if (bytes) {
            block = std::make_unique<GuardedBuffer>(8, GuardedBuffer::Use::Output);
            std::memcpy(block->Bytes(), bytes->data(), std::min<std::size_t>(bytes->size(), 8));
        }
        std::uint32_t* words = block ? block->Words() : nullptr;
        const HRESULT status = method == "Encrypt" ? des.Encrypt(words) : des.Decrypt(words);
        if (SUCCEEDED(status) && block)
            out.push_back(BytesAnswer("block", block->Bytes(), 8));
        return status;
    }
    return std::nullopt;
}

template <class Hash>
std::optional<HRESULT> Replay::HashCall(Hash& hash, std::uint32_t digestBytes, const std::string& method,
                                        const JsonValue* in, Answers& out, std::string& why)
{
    const auto field = [in](const char* name) { return in ? in->Field(name) : nullptr; };
    if (method == "GetHashSize") {
        const OutputBuffer bytes(field("bytes"));
        const HRESULT status = hash.GetHashSize(bytes.Words());
        if (SUCCEEDED(status) && bytes.Words())
            out.push_back(NumberAnswer("bytes", *bytes.Words()));
        return status;
    }
    if (method == "HashData") {
        const JsonValue* data = field("data");
        if (data && data->Field("bytes")) {
            why = "its " + std::to_string(RecordedNumber(data->Field("bytes"))) +
                  "-byte buffer was recorded as its length and SHA-256 only";
            return std::nullopt;
        }
        const InputBuffer bytes(data);
        return hash.HashData(bytes.Bytes(), static_cast<std::uint32_t>(RecordedNumber(field("bytes"))));
    }
    if (method == "GetHash") {
        const OutputBuffer digest(field("digest"));
        const HRESULT status = hash.GetHash(digest.Bytes());
        if (SUCCEEDED(status) && digest.Bytes())
            out.push_back(BytesAnswer("digest", digest.Bytes(), digestBytes));
        return status;
    }
    return std::nullopt;
}

std::optional<HRESULT> Replay::Unknown(ReplayObject& object, const std::string& method, Answers& out)
{
    if (method == "AddRef" || method == "Release") {
        const ULONG count = method == "AddRef" ? object.pointer->AddRef() : object.pointer->Release();
        out.push_back(NumberAnswer("count", count));
        return S_OK;
    }
    return std::nullopt;
}

std::optional<HRESULT> Replay::Call(ReplayObject* object, const std::string& interfaceName, const std::string& method,
                                    const JsonValue* in, Answers& out, std::string& why)
{
    if (!object) {
        why = "the object it was made on was not made in the replay";
        return std::nullopt;
    }
    if (method == "AddRef" || method == "Release")
        return Unknown(*object, method, out);
    if (interfaceName == "IUserRSA")
        return Rsa(*static_cast<IUserRSA*>(object->pointer), *object, method, in, out, why);
    if (interfaceName == "IUserDES")
        return Des(*static_cast<IUserDES*>(object->pointer), method, in, out);
    if (interfaceName == "IHashSHA1")
        return HashCall(*static_cast<IHashSHA1*>(object->pointer), kSha1DigestBytes, method, in, out, why);
    if (interfaceName == "IHashMD5")
        return HashCall(*static_cast<IHashMD5*>(object->pointer), kMd5DigestBytes, method, in, out, why);
    return std::nullopt;
}

void Replay::Differs(const std::string& call, const std::string& what)
{
    if (++m_differing <= kMostShownDifferences)
        m_ctx.Note(kDiffersNote + call + ": " + what);
}

void Replay::Issue(const JsonValue& record)
{
    const std::string name = ReplayedCallName(record);
    const JsonValue* interfaceField = record.Field("interface");
    const JsonValue* methodField = record.Field("method");
    const std::string interfaceName = interfaceField ? interfaceField->text : "";
    const std::string method = methodField ? methodField->text : "";
    const JsonValue* in = record.Field("in");
    const JsonValue* status = record.Field("status");
    const bool returned = status && status->kind == JsonValue::Kind::String;
    const std::vector<Answer> recorded = RecordedAnswers(record.Field("out"));
    const std::uint64_t madeObject =
        RecordedNumber(record.Field("out") ? record.Field("out")->Field("object") : nullptr);

    Answers now;
    std::string why;
    std::optional<HRESULT> result;
    m_ctx.Calling(name);
    void* made = nullptr;
    ReplayObject* object = nullptr;
    if (method == "CoCreateInstance") {
        for (const CryptoClass& entry : kCryptoClasses)
            if (interfaceName == entry.interfaceName)
                result = CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, entry.iid, &made);
        if (!result)
            why = "it names no class the component serves";
    } else {
        const auto found = m_objects.find(RecordedNumber(record.Field("object")));
        object = found == m_objects.end() ? nullptr : &found->second;
        if (object && method == "QueryInterface") {
            // The object it answers becomes the recorded number.
            const auto iidBytes = RecordedBytes(in ? in->Field("iid") : nullptr);
            const JsonValue* place = in ? in->Field("object") : nullptr;
            if (iidBytes && iidBytes->size() == sizeof(GUID)) {
                GUID iid{};
                std::memcpy(&iid, iidBytes->data(), sizeof iid);
                result = object->pointer->QueryInterface(iid, place && place->kind != JsonValue::Kind::Null ? &made
                                                                                                            : nullptr);
            }
        } else {
            result = Call(object, interfaceName, method, in, now, why);
        }
        if (object && !object->uncertain.empty() && why.empty())
            why = object->uncertain;
    }
    if (!result) {
        ++m_notIssued;
        m_ctx.Note(name + ": not issued again: " + (why.empty() ? "the replay does not know this call" : why));
        if (object && object->uncertain.empty())
            object->uncertain = kAfterSkipped;
        return;
    }
    ++m_issued;
    // The object made takes the number it had in the record.
    if (made && madeObject) {
        m_objects[madeObject] = {static_cast<IUnknown*>(made), interfaceName, {}};
        now.push_back(NumberAnswer("object", madeObject));
    }
    // Under a key the component chose anew, a recorded input may be no
    // number below the new modulus: whether RSA accepts it says nothing,
    // nor whether it returned at all.
    if (why == kOwnKey && (method == "Encrypt" || method == "Decrypt")) {
        ++m_notCompared;
        m_notComparedWhy[why] += 1;
        return;
    }
    if (!returned) {
        Differs(name, "recorded: it did not return; now it returned " + StatusText(*result));
        return;
    }
    // After a call the replay could not issue, the object's state is not
    // the recorded one: its answers are not compared at all.
    if (why == kAfterSkipped) {
        m_notComparedWhy[why] += 1;
        return;
    }
    if (status->text != StatusText(*result))
        Differs(name, "status recorded " + status->text + ", now " + StatusText(*result));
    const bool wordForWord = why.empty();
    Comparison comparison = CompareAnswers(recorded, now, wordForWord);
    for (const std::string& difference : comparison.differences)
        Differs(name, difference);
    if (comparison.notCompared) {
        m_notCompared += comparison.notCompared;
        m_notComparedWhy[why] += comparison.notCompared;
    }
}

void Replay::Summarize(std::size_t records) const
{
    std::string text = kSummaryNote + std::to_string(m_issued) + " of " + std::to_string(records) +
                       " recorded calls issued again, " + std::to_string(m_differing) + " answered differently";
    if (m_differing > kMostShownDifferences)
        text += " (the first " + std::to_string(kMostShownDifferences) + " shown)";
    if (m_notIssued)
        text += "; " + std::to_string(m_notIssued) + " not issued";
    for (const auto& [why, count] : m_notComparedWhy)
        text += "; " + std::to_string(count) +
                (why == kAfterSkipped ? " not compared: " : " outputs compared by size only: ") + why;
    m_ctx.Note(text);
}

}  // namespace

std::string ReplayedCallName(const JsonValue& record)
{
    const JsonValue* interfaceField = record.Field("interface");
    const JsonValue* methodField = record.Field("method");
    return "call " + std::to_string(RecordedNumber(record.Field("call"))) + ": " +
           (interfaceField ? interfaceField->text : "?") + "::" + (methodField ? methodField->text : "?");
}

void ReplayCalls(Context& ctx, const JsonValue& records)
{
    Replay replay(ctx);
    for (const JsonValue& record : records.items) {
        // A call that did not return may well not return again: what came
        // before it is told first.
        if (!record.Field("status"))
            replay.Summarize(records.items.size());
        replay.Issue(record);
    }
    replay.Summarize(records.items.size());
}

}  // namespace checks::runner
