// Reference counts and the library's own count of what lives: each class's
// factory and object taken from DllGetClassObject directly, as a program
// that unloads libraries would, with DllCanUnloadNow asked at each step.
#include "suites/library_handle.h"
#include "memory/memory_checks.h"
#include "memory/rule_context.h"

#include "suites/support.h"

#include <cstring>
#include <vector>

namespace checks::memory {
namespace {

using CanUnloadFn = HRESULT (*)();

const char* UnloadAnswer(HRESULT hr)
{
    return hr == S_OK ? "S_OK" : hr == S_FALSE ? "S_FALSE" : "neither S_OK nor S_FALSE";
}

// Asks DllCanUnloadNow at each moment and says once, at the end, where it
// answered wrong: one lie is usually told at every moment alike.
class UnloadQuery {
public:
    UnloadQuery(Context& ctx, CanUnloadFn query) : m_ctx(ctx), m_query(query) {}
    ~UnloadQuery()
    {
        if (m_wrong.empty())
            return;
        std::string text = m_wrong.front();
        if (m_wrong.size() > 1)
            text += " (and wrong at " + std::to_string(m_wrong.size() - 1) + " more of the " + std::to_string(m_asked) +
                    " moments asked)";
        m_ctx.Broke("load.unload-query", text);
    }
    UnloadQuery(const UnloadQuery&) = delete;
    UnloadQuery& operator=(const UnloadQuery&) = delete;

    // DllCanUnloadNow must answer expected (S_OK: nothing lives) at moment.
    void Expect(HRESULT expected, const std::string& moment)
    {
        if (!m_query)
            return;
        ++m_asked;
        m_ctx.Calling("DllCanUnloadNow");
        const HRESULT hr = m_query();
        if (hr != expected)
            m_wrong.push_back("DllCanUnloadNow answers " + std::string(UnloadAnswer(hr)) + " (" + StatusText(hr) +
                              ") " + moment + "; expected " + UnloadAnswer(expected));
    }

private:
    Context& m_ctx;
    CanUnloadFn m_query;
    std::vector<std::string> m_wrong;
    int m_asked = 0;
};

// The object answers QueryInterface and a call of its class rightly: it is
// still alive. A class call answering E_NOTIMPL says nothing either way;
// the checks of that slot report it.
void StillAnswers(Context& ctx, CryptoClassKind kind, IUnknown* object, const std::string& when)
{
    const std::string name = support::ClassOf(kind).interfaceName;
    IUnknown* again = nullptr;
    ctx.Calling(name + "::QueryInterface(IUnknown) " + when);
    const HRESULT answer = object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
    if (FAILED(answer) || !again)
        ctx.Fail(name + "::QueryInterface(IUnknown) " + when + " answers " + StatusText(answer) +
                 "; expected S_OK and an object, as before");
    if (again) {
        ctx.Calling(name + "::Release of the QueryInterface reference " + when);
        again->Release();
    }
    const std::uint8_t abc[3] = {'a', 'b', 'c'};
    switch (kind) {
    case CryptoClassKind::UserRsa: {
        std::uint32_t words = 99;
        ctx.Calling(name + "::GetKeyLength " + when);
        const HRESULT hr = static_cast<IUserRSA*>(object)->GetKeyLength(&words);
        if (hr != E_NOTIMPL && (FAILED(hr) || words != 0))
            ctx.Fail(name + "::GetKeyLength " + when + " answers " + StatusText(hr) + " and " + std::to_string(words) +
                     " words; expected S_OK and 0 words, as before");
        return;
    }
    case CryptoClassKind::UserDes: {
        const std::uint8_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        std::uint32_t keyWords[2];
        std::uint32_t block[2] = {0x64636261, 0x68676665};
        std::memcpy(keyWords, key, sizeof key);
        std::uint8_t plain[8];
        std::memcpy(plain, block, sizeof plain);
        auto* des = static_cast<IUserDES*>(object);
        ctx.Calling(name + "::SetKey and Encrypt " + when);
        const HRESULT hr = des->SetKey(keyWords);
        const HRESULT hr2 = SUCCEEDED(hr) ? des->Encrypt(block) : hr;
        const auto expected = support::OpenSslDes(key, plain, true);
        if (hr2 != E_NOTIMPL && (FAILED(hr2) || std::memcmp(block, expected.data(), 8) != 0))
            ctx.Fail(name + "::SetKey and Encrypt " + when + " give " + StatusText(hr2) + " and " +
                     support::Hex(block, 8) + "; expected " + support::Hex(expected.data(), 8));
        return;
    }
    case CryptoClassKind::HashSha1:
    case CryptoClassKind::HashMd5: {
        const bool sha1 = kind == CryptoClassKind::HashSha1;
        std::uint8_t digest[20] = {};
        ctx.Calling(name + "::HashData and GetHash " + when);
        const HRESULT hr =
            sha1 ? static_cast<IHashSHA1*>(object)->HashData(abc, 3) : static_cast<IHashMD5*>(object)->HashData(abc, 3);
        const HRESULT hr2 = FAILED(hr) ? hr
                            : sha1     ? static_cast<IHashSHA1*>(object)->GetHash(digest)
                                       : static_cast<IHashMD5*>(object)->GetHash(digest);
        const auto expected = support::OpenSslDigest(sha1 ? "SHA1" : "MD5", abc, 3);
        if (hr2 != E_NOTIMPL && (FAILED(hr2) || std::memcmp(digest, expected.data(), expected.size()) != 0))
            ctx.Fail(name + "::HashData and GetHash of \"abc\" " + when + " give " + StatusText(hr2) + " and " +
                     support::Hex(digest, expected.size()) + "; expected " + support::Hex(expected));
        return;
    }
    }
}

void ExpectCount(Context& ctx, const std::string& call, ULONG got, ULONG expected)
{
    if (got != expected)
        ctx.Broke("object.reference-count",
                  call + " returns " + std::to_string(got) + "; expected " + std::to_string(expected));
}

// Raw pointers on purpose: the references and their counts are what is
// checked, so each AddRef and Release is made and looked at by hand.
void CheckClass(Context& ctx, const CryptoClass& entry, DllGetClassObjectFn get, UnloadQuery& unload)
{
    const std::string name = entry.interfaceName;
    IClassFactory* factory = nullptr;
    ctx.Calling("DllGetClassObject(" + name + ")");
    HRESULT hr = get(entry.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) {
        ctx.Broke("call.status", "DllGetClassObject(" + name + ") gave no factory (" + StatusText(hr) + ")");
        return;
    }
    unload.Expect(S_FALSE, "while a factory of " + name + " lives");
    IUnknown* object = nullptr;
    ctx.Calling("IClassFactory::CreateInstance(" + name + ")");
    hr = factory->CreateInstance(nullptr, entry.iid, reinterpret_cast<void**>(&object));
    ctx.Calling("IClassFactory::Release");
    factory->Release();
    if (FAILED(hr) || !object) {
        ctx.Broke("call.status", "CreateInstance(" + name + ") gave no object (" + StatusText(hr) + ")");
        return;
    }
    unload.Expect(S_FALSE, "while an " + name + " object lives (its factory released)");
    ctx.Calling(name + "::AddRef");
    ExpectCount(ctx, name + "::AddRef on a new object", object->AddRef(), 2);
    ctx.Calling(name + "::Release of the second reference");
    ExpectCount(ctx, name + "::Release of the second reference", object->Release(), 1);
    StillAnswers(ctx, entry.kind, object, "after AddRef and one Release");
    ctx.Calling(name + "::Release of the last reference");
    ExpectCount(ctx, name + "::Release of the last reference", object->Release(), 0);
    unload.Expect(S_OK, "after the last " + name + " object and factory were released");
}

}  // namespace

void CheckReferences(Context& ctx)
{
    support::LibraryHandle library(ctx.Options().componentPath, support::kNeverUnloaded);
    const auto get = reinterpret_cast<DllGetClassObjectFn>(library.Symbol("DllGetClassObject"));
    if (!get) {
        ctx.Skip("the library gives no DllGetClassObject (load.library says why)");
        return;
    }
    const auto canUnload = reinterpret_cast<CanUnloadFn>(library.Symbol("DllCanUnloadNow"));
    if (!canUnload)
        ctx.Note("the library exports no DllCanUnloadNow; only the reference counts are checked");
    UnloadQuery unload(ctx, canUnload);
    unload.Expect(S_OK, "before any object or factory was made");
    for (const CryptoClass& entry : kCryptoClasses)
        CheckClass(ctx, entry, get, unload);
}

}  // namespace checks::memory
