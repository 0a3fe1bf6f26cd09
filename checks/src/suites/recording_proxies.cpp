#include "suites/recording_proxies.h"

#include "suites/recording_values.h"

#include <runtime/object_binding.h>
#include <tarvel/crypto.h>

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace checks::support {
namespace {

using Values = std::vector<CallValue>;
using Kind = CallValue::Kind;

enum class ProxyKind { Unknown, Rsa, Des, Sha1, Md5 };

class ProxyBase {
public:
    ProxyBase(CallRecorder& recorder, IUnknown* inner, std::uint32_t number, ProxyKind kind, const char* name)
        : m_recorder(recorder), m_inner(inner), m_number(number), m_kind(kind), m_name(name)
    {
    }
    virtual ~ProxyBase() = default;
    ProxyBase(const ProxyBase&) = delete;
    ProxyBase& operator=(const ProxyBase&) = delete;

    // The proxy as the interface it serves (and as IUnknown: its first base).
    virtual void* Self() = 0;
    ProxyKind Kind() const { return m_kind; }
    std::uint32_t Number() const { return m_number; }

protected:
    // The inputs go out before the call, so a call that never returns keeps
    // them; outputs(status) reads the answers after it. No lock is held
    // across the call: four threads call at once.
    template <class Invoke, class Outputs>
    HRESULT Record(const char* method, Values inputs, Invoke invoke, Outputs outputs)
    {
        const std::uint64_t call = m_recorder.Started(m_number, m_name, method, std::move(inputs));
        const HRESULT status = invoke();
        if (call)
            m_recorder.Returned(call, status, outputs(status));
        return status;
    }
    HRESULT Query(const GUID& iid, void** object);
    ULONG Count(const char* method, ULONG (IUnknown::*slot)());

    CallRecorder& m_recorder;
    IUnknown* m_inner;

private:
    std::uint32_t m_number;
    ProxyKind m_kind;
    const char* m_name;
};

// Every proxy ever made in this process, by the component pointer it wraps.
class Registry {
public:
    static Registry& Get()
    {
        static Registry registry;
        return registry;
    }
    // The proxy of inner as kind (any proxy of inner serves IUnknown); a
    // fresh object (just created) gets a proxy of its own even where a freed
    // one lived at the same address.
    void* Wrap(CallRecorder& recorder, IUnknown* inner, ProxyKind kind, bool fresh, std::uint32_t* number);

private:
    std::mutex m_mutex;
    std::map<IUnknown*, std::vector<std::unique_ptr<ProxyBase>>> m_proxies;
    std::vector<std::unique_ptr<ProxyBase>> m_retired;  // kept, never found again
    std::uint32_t m_next = 1;
};

template <class Interface>
class Proxy : public Interface, public ProxyBase {
public:
    using ProxyBase::ProxyBase;
    void* Self() override { return static_cast<Interface*>(this); }
    HRESULT QueryInterface(const GUID& iid, void** object) override { return Query(iid, object); }
    ULONG AddRef() override { return Count("AddRef", &IUnknown::AddRef); }
    ULONG Release() override { return Count("Release", &IUnknown::Release); }

protected:
    Interface& Inner() { return *static_cast<Interface*>(m_inner); }
    static Values None(HRESULT) { return {}; }
};

using UnknownProxy = Proxy<IUnknown>;

// The getter protocol: *count is the capacity in, the count out; the words
// written are kept up to both.
template <class Interface, class Item>
HRESULT Getter(Interface& inner, HRESULT (Interface::*slot)(Item*, std::uint32_t*), Item* items, std::uint32_t* count,
               const char* itemsName, const char* countName, Values& outputs)
{
    const std::uint64_t capacity = count ? *count : 0;
    const HRESULT status = (inner.*slot)(items, count);
    outputs.push_back(CountValue(countName, count));
    if (SUCCEEDED(status) && items && count)
        outputs.push_back(BytesValue(itemsName, items, std::min<std::uint64_t>(capacity, *count) * sizeof(Item)));
    return status;
}

// Whether a NUL follows a text's length (a string's text does, a guarded
// buffer does not): a component that reads to the NUL rather than the
// length answers according to it, so a replay must pass the same. Read
// through the kernel, which answers EFAULT rather than fault at a guard page.
CallValue NulAfter(const char* text, std::uint32_t length)
{
    char after = 1;
    if (text) {
        iovec local{&after, 1};
        iovec remote{const_cast<char*>(text) + length, 1};
        if (process_vm_readv(getpid(), &local, 1, &remote, 1, 0) != 1)
            after = 1;
    }
    return NumberValue("nulAfter", after == 0 ? 1 : 0);
}

class RsaProxy final : public Proxy<IUserRSA> {
public:
    using Proxy::Proxy;
    HRESULT Clear() override
    {
        return Record(
            "Clear", {}, [&] { return Inner().Clear(); }, None);
    }
    HRESULT GenerateKey(const char* userId, std::uint32_t keyWords) override
    {
        return Record(
            "GenerateKey", {TextValue("userId", userId), NumberValue("keyWords", keyWords)},
            [&] { return Inner().GenerateKey(userId, keyWords); }, None);
    }
    HRESULT GetKeyLength(std::uint32_t* words) override
    {
        return Scalar("GetKeyLength", &IUserRSA::GetKeyLength, words);
    }
    HRESULT Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override
    {
        return Raw("Encrypt", &IUserRSA::Encrypt, in, inWords, out, outWords);
    }
    HRESULT Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override
    {
        return Raw("Decrypt", &IUserRSA::Decrypt, in, inWords, out, outWords);
    }
    HRESULT GetUserId(char* text, std::uint32_t* length) override
    {
        return Text("GetUserId", &IUserRSA::GetUserId, text, length);
    }
    HRESULT SaveWkyFile(const char* path) override { return Save("SaveWkyFile", &IUserRSA::SaveWkyFile, path); }
    HRESULT SaveRkyFile(const char* path) override { return Save("SaveRkyFile", &IUserRSA::SaveRkyFile, path); }
    HRESULT SaveAsyFile(const char* path) override { return Save("SaveAsyFile", &IUserRSA::SaveAsyFile, path); }
    HRESULT GetCode(char* text, std::uint32_t* length) override
    {
        return Text("GetCode", &IUserRSA::GetCode, text, length);
    }
    HRESULT LoadAsyFile(const char* path) override
    {
        // The file as the component is about to read it.
        return Record(
            "LoadAsyFile", {PathValue("path", path), FileValue("file", path)},
            [&] { return Inner().LoadAsyFile(path); }, None);
    }
    HRESULT GetBase(std::uint32_t* w, std::uint32_t* c) override { return Get("GetBase", &IUserRSA::GetBase, w, c); }
    HRESULT GetPublicKey(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetPublicKey", &IUserRSA::GetPublicKey, w, c);
    }
    HRESULT GetPrivateKey(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetPrivateKey", &IUserRSA::GetPrivateKey, w, c);
    }
    HRESULT GetKeyPart4(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetKeyPart4", &IUserRSA::GetKeyPart4, w, c);
    }
    HRESULT GetKeyPart5(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetKeyPart5", &IUserRSA::GetKeyPart5, w, c);
    }
    HRESULT GetKeyPart6(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetKeyPart6", &IUserRSA::GetKeyPart6, w, c);
    }
    HRESULT GetKeyPart7(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetKeyPart7", &IUserRSA::GetKeyPart7, w, c);
    }
    HRESULT GetKeyPart8(std::uint32_t* w, std::uint32_t* c) override
    {
        return Get("GetKeyPart8", &IUserRSA::GetKeyPart8, w, c);
    }
    HRESULT SetUserId(const char* text, std::uint32_t length) override
    {
        return SetText("SetUserId", &IUserRSA::SetUserId, text, length);
    }
    HRESULT SetCode(const char* text, std::uint32_t length) override
    {
        return SetText("SetCode", &IUserRSA::SetCode, text, length);
    }
    HRESULT SetBase(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetBase", &IUserRSA::SetBase, w, c);
    }
    HRESULT SetPublicKey(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetPublicKey", &IUserRSA::SetPublicKey, w, c);
    }
    HRESULT SetPrivateKey(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetPrivateKey", &IUserRSA::SetPrivateKey, w, c);
    }
    HRESULT SetKeyPart4(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetKeyPart4", &IUserRSA::SetKeyPart4, w, c);
    }
    HRESULT SetKeyPart5(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetKeyPart5", &IUserRSA::SetKeyPart5, w, c);
    }
    HRESULT SetKeyPart6(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetKeyPart6", &IUserRSA::SetKeyPart6, w, c);
    }
    HRESULT SetKeyPart7(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetKeyPart7", &IUserRSA::SetKeyPart7, w, c);
    }
    HRESULT SetKeyPart8(const std::uint32_t* w, std::uint32_t c) override
    {
        return Set("SetKeyPart8", &IUserRSA::SetKeyPart8, w, c);
    }

private:
    using GetSlot = HRESULT (IUserRSA::*)(std::uint32_t*, std::uint32_t*);
    using SetSlot = HRESULT (IUserRSA::*)(const std::uint32_t*, std::uint32_t);
    using TextSlot = HRESULT (IUserRSA::*)(char*, std::uint32_t*);
    using SetTextSlot = HRESULT (IUserRSA::*)(const char*, std::uint32_t);
    using RawSlot = HRESULT (IUserRSA::*)(const std::uint32_t*, std::uint32_t, std::uint32_t*, std::uint32_t*);
    using PathSlot = HRESULT (IUserRSA::*)(const char*);

    HRESULT Scalar(const char* method, HRESULT (IUserRSA::*slot)(std::uint32_t*), std::uint32_t* out)
    {
        return Record(
            method, {CapacityValue("out", out, sizeof *out)}, [&] { return (Inner().*slot)(out); },
            [&](HRESULT status) { return SUCCEEDED(status) && out ? Values{NumberValue("out", *out)} : Values{}; });
    }
    HRESULT Raw(const char* method, RawSlot slot, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                std::uint32_t* outWords)
    {
        const std::uint64_t capacity = outWords ? *outWords : 0;
        return Record(
            method,
            {BytesValue("in", in, std::uint64_t{inWords} * 4), NumberValue("inWords", inWords),
             CapacityValue("out", out, capacity * 4), CountValue("outWords", outWords)},
            [&] { return (Inner().*slot)(in, inWords, out, outWords); },
            [&](HRESULT status) {
                Values outputs{CountValue("outWords", outWords)};
                if (SUCCEEDED(status) && out && outWords)
                    outputs.push_back(BytesValue("out", out, std::min<std::uint64_t>(capacity, *outWords) * 4));
                return outputs;
            });
    }
    HRESULT Get(const char* method, GetSlot slot, std::uint32_t* words, std::uint32_t* count)
    {
        Values outputs;
        return Record(
            method,
            {CapacityValue("words", words, (count ? std::uint64_t{*count} : 0) * 4), CountValue("count", count)},
            [&] { return Getter(Inner(), slot, words, count, "words", "count", outputs); },
            [&](HRESULT) { return outputs; });
    }
    HRESULT Text(const char* method, TextSlot slot, char* text, std::uint32_t* length)
    {
        Values outputs;
        return Record(
            method, {CapacityValue("text", text, length ? *length : 0), CountValue("length", length)},
            [&] { return Getter(Inner(), slot, text, length, "text", "length", outputs); },
            [&](HRESULT) {
                for (CallValue& value : outputs)
                    if (value.kind == Kind::Bytes)
                        value.kind = Kind::Text;
                return outputs;
            });
    }
    HRESULT Set(const char* method, SetSlot slot, const std::uint32_t* words, std::uint32_t count)
    {
        return Record(
            method, {BytesValue("words", words, std::uint64_t{count} * 4), NumberValue("count", count)},
            [&] { return (Inner().*slot)(words, count); }, None);
    }
    HRESULT SetText(const char* method, SetTextSlot slot, const char* text, std::uint32_t length)
    {
        return Record(
            method, {TextValue("text", text, length), NumberValue("length", length), NulAfter(text, length)},
            [&] { return (Inner().*slot)(text, length); }, None);
    }
    HRESULT Save(const char* method, PathSlot slot, const char* path)
    {
        // What the file holds once the component is done with it.
        return Record(
            method, {PathValue("path", path)}, [&] { return (Inner().*slot)(path); },
            [&](HRESULT) { return Values{FileValue("file", path)}; });
    }
};

class DesProxy final : public Proxy<IUserDES> {
public:
    using Proxy::Proxy;
    HRESULT SetKey(const std::uint32_t* key) override
    {
        return Record(
            "SetKey", {BytesValue("key", key, 8)}, [&] { return Inner().SetKey(key); }, None);
    }
    HRESULT GetKey(std::uint32_t* key) override
    {
        return Record(
            "GetKey", {CapacityValue("key", key, 8)}, [&] { return Inner().GetKey(key); },
            [&](HRESULT status) { return SUCCEEDED(status) ? Values{BytesValue("key", key, 8)} : Values{}; });
    }
    HRESULT Encrypt(std::uint32_t* block) override { return Block("Encrypt", &IUserDES::Encrypt, block); }
    HRESULT Decrypt(std::uint32_t* block) override { return Block("Decrypt", &IUserDES::Decrypt, block); }

private:
    HRESULT Block(const char* method, HRESULT (IUserDES::*slot)(std::uint32_t*), std::uint32_t* block)
    {
        return Record(
            method, {BytesValue("block", block, 8)}, [&] { return (Inner().*slot)(block); },
            [&](HRESULT status) { return SUCCEEDED(status) ? Values{BytesValue("block", block, 8)} : Values{}; });
    }
};

// SHA-1 and MD5 share one shape; only the digest's size differs.
template <class Interface, std::uint32_t kDigestBytes>
class HashProxy final : public Proxy<Interface> {
public:
    using Proxy<Interface>::Proxy;
    HRESULT GetHashSize(std::uint32_t* bytes) override
    {
        return this->Record(
            "GetHashSize", {CapacityValue("bytes", bytes, sizeof *bytes)},
            [&] { return this->Inner().GetHashSize(bytes); },
            [&](HRESULT status) {
                return SUCCEEDED(status) && bytes ? Values{NumberValue("bytes", *bytes)} : Values{};
            });
    }
    HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) override
    {
        return this->Record(
            "HashData", {BytesValue("data", data, bytes), NumberValue("bytes", bytes)},
            [&] { return this->Inner().HashData(data, bytes); }, Proxy<Interface>::None);
    }
    HRESULT GetHash(std::uint8_t* digest) override
    {
        return this->Record(
            "GetHash", {CapacityValue("digest", digest, kDigestBytes)}, [&] { return this->Inner().GetHash(digest); },
            [&](HRESULT status) {
                return SUCCEEDED(status) ? Values{BytesValue("digest", digest, kDigestBytes)} : Values{};
            });
    }
};

std::unique_ptr<ProxyBase> MakeProxy(CallRecorder& recorder, IUnknown* inner, ProxyKind kind, std::uint32_t number)
{
    switch (kind) {
    case ProxyKind::Rsa:
        return std::make_unique<RsaProxy>(recorder, inner, number, kind, "IUserRSA");
    case ProxyKind::Des:
        return std::make_unique<DesProxy>(recorder, inner, number, kind, "IUserDES");
    case ProxyKind::Sha1:
        return std::make_unique<HashProxy<IHashSHA1, kSha1DigestBytes>>(recorder, inner, number, kind, "IHashSHA1");
    case ProxyKind::Md5:
        return std::make_unique<HashProxy<IHashMD5, kMd5DigestBytes>>(recorder, inner, number, kind, "IHashMD5");
    case ProxyKind::Unknown:
        break;
    }
    return std::make_unique<UnknownProxy>(recorder, inner, number, kind, "IUnknown");
}

void* Registry::Wrap(CallRecorder& recorder, IUnknown* inner, ProxyKind kind, bool fresh, std::uint32_t* number)
{
    std::lock_guard lock(m_mutex);
    auto& known = m_proxies[inner];
    if (fresh) {
        std::move(known.begin(), known.end(), std::back_inserter(m_retired));
        known.clear();
    }
    for (const auto& proxy : known)
        if (proxy->Kind() == kind || kind == ProxyKind::Unknown) {
            *number = proxy->Number();
            return proxy->Self();
        }
    *number = m_next++;
    known.push_back(MakeProxy(recorder, inner, kind, *number));
    return known.back()->Self();
}

// The interfaces a proxy is made for; nullopt for any other.
std::optional<ProxyKind> KindOf(const GUID& iid)
{
    if (iid == IID_IUnknown)
        return ProxyKind::Unknown;
    if (iid == IID_IUserRSA)
        return ProxyKind::Rsa;
    if (iid == IID_IUserDES)
        return ProxyKind::Des;
    if (iid == IID_IHashSHA1)
        return ProxyKind::Sha1;
    if (iid == IID_IHashMD5)
        return ProxyKind::Md5;
    return std::nullopt;
}

HRESULT ProxyBase::Query(const GUID& iid, void** object)
{
    std::uint32_t number = 0;
    return Record(
        "QueryInterface", {BytesValue("iid", &iid, sizeof iid), CapacityValue("object", object, sizeof(void*))},
        [&] {
            const HRESULT status = m_inner->QueryInterface(iid, object);
            // An interface the checker has no proxy for is handed on as it is.
            if (SUCCEEDED(status) && object && *object)
                if (const auto kind = KindOf(iid))
                    *object = Registry::Get().Wrap(m_recorder, static_cast<IUnknown*>(*object), *kind, false, &number);
            return status;
        },
        [&](HRESULT) { return number ? Values{NumberValue("object", number)} : Values{}; });
}

ULONG ProxyBase::Count(const char* method, ULONG (IUnknown::*slot)())
{
    ULONG count = 0;
    Record(
        method, {},
        [&] {
            count = (m_inner->*slot)();
            return S_OK;
        },
        [&](HRESULT) { return Values{NumberValue("count", count)}; });
    return count;
}

}  // namespace

HRESULT CreateObject(CallRecorder* recorder, const CryptoClass& entry, void** object)
{
    if (!recorder)
        return CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, entry.iid, object);
    const std::uint64_t call = recorder->Started(0, entry.interfaceName, "CoCreateInstance", {});
    const HRESULT status = CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, entry.iid, object);
    std::uint32_t number = 0;
    if (SUCCEEDED(status) && object && *object)
        *object = Registry::Get().Wrap(*recorder, static_cast<IUnknown*>(*object), *KindOf(entry.iid), true, &number);
    if (call)
        recorder->Returned(call, status, number ? Values{NumberValue("object", number)} : Values{});
    return status;
}

}  // namespace checks::support
