// A component with one deliberate fault, for proving that tarvel-check finds
// it: every class forwards to the bundled component, and TARVEL_FAULT names
// the one thing that goes wrong:
//   sha1-length-55   a wrong SHA-1 digest when the length is 55 mod 64
//   overrun          GetKeyPart4 writes one word past the capacity it got
//   shifted-slot     the number getters answer one slot off, as a method
//                    table missing GetBase would
//   crash-decrypt    Decrypt dies by SIGSEGV
//   crt-off-by-one   GetKeyPart8 reports q^-1 mod p plus one
//   ignore-length    GenerateKey makes a 16-word key whatever it is asked
//   hang-des         IUserDES::Encrypt never returns
//   spawn-helper     GenerateKey starts a helper process that sleeps for a
//                    minute holding every descriptor it inherited
//   hash-wrong-later a hash object gives right digests for its first 100
//                    GetHash calls and wrong ones after
// Faults a careless component makes that no crash or known answer shows:
//   wky-with-private  SaveWkyFile appends the private key to the public one
//   wky-with-d-text   SaveWkyFile appends d in decimal and colon-hex text
//   private-by-umask  SaveRkyFile and SaveAsyFile leave the mode to the umask
//   rky-other-layout  SaveRkyFile writes 'RSA PRIVATE KEY' (a choice, not
//                     a fault: it fails only at thorough)
//   asy-unescaped     SaveAsyFile writes user id and code without escapes
//   asy-accepts-malformed  LoadAsyFile answers S_OK to records it refused
//   encrypt-fixed-e   Encrypt uses e = 65537 whatever key was set
//   userid-to-nul     SetUserId reads up to a NUL instead of its length
//   crt-trusted       Decrypt goes through the CRT parts unchecked
//   shared-hash-state every hash object of a class hashes in one state
//   shared-des-key    every IUserDES object encrypts with one key
//   sha1-stops-64k    SHA-1 hashes no more than the first 64 KiB
//   generate-e1       GenerateKey makes keys with e = d = 1
//   generate-p-eq-q   GenerateKey reports p for q as well
//   other-choices     only recommended choices made otherwise: E_NOTIMPL
//                     from the slots no program calls, E_FAIL for a short
//                     buffer, the empty digest after a refused HashData, the
//                     'RSA PRIVATE KEY' layout; passes standard
// Timing faults, whose answers stay right but whose time tells a secret:
//   timing-small-input  Decrypt skips a step for inputs with fewer bits than
//                       the modulus (an early exit for small inputs)
//   timing-des-setkey   SetKey walks the key bit by bit, with work per set bit
//   timing-des-encrypt  Encrypt does that walk over the key on every block
// TARVEL_FAULT_INNER may name another library to forward to. The memory
// and lifetime faults are listed in memory_faults.h.
#include "fault_files.h"
#include "fault_rsa_math.h"
#include "memory_faults.h"
#include "static_class_factory.h"

#include <tarvel/classes.h>
#include <tarvel/crypto.h>
#include <tarvel/unknown.h>

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#define FAULTY_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string_view Fault()
{
    const char* fault = std::getenv("TARVEL_FAULT");
    return fault ? fault : "";
}

DllGetClassObjectFn Inner()
{
    static const DllGetClassObjectFn inner = [] {
        const char* path = std::getenv("TARVEL_FAULT_INNER");
        void* library = dlopen(path && *path ? path : TARVEL_BUNDLED_COMPONENT, RTLD_NOW | RTLD_LOCAL);
        return library ? reinterpret_cast<DllGetClassObjectFn>(dlsym(library, "DllGetClassObject")) : nullptr;
    }();
    return inner;
}

// ---- Faults of processes and of answers that change over time ----
// spawn-helper: one helper per process, as a component that starts a daemon
// would; it keeps the inherited descriptors (a check's report pipe among
// them) open. Its process id is appended to the file named by
// TARVEL_FAULT_HELPER_PIDS, so a test can see that it is gone.
void SpawnHelperOnce()
{
    static bool spawned = false;
    if (spawned || Fault() != "spawn-helper")
        return;
    spawned = true;
    const pid_t helper = fork();
    if (helper == 0) {
        sleep(60);
        _exit(0);
    }
    // Told by the parent, before the call returns: the check may end (and
    // its process group be killed) before a helper could write it itself.
    if (const char* pids = std::getenv("TARVEL_FAULT_HELPER_PIDS"); pids && helper > 0)
        if (FILE* file = std::fopen(pids, "a")) {
            std::fprintf(file, "%d\n", static_cast<int>(helper));
            std::fclose(file);
        }
}

// hash-wrong-later: true once an object has answered this many digests.
constexpr unsigned kRightDigests = 100;
// ---- end ----

// The timing faults: right answers, in a time that depends on the secret.
// The RSA one costs a few percent of the call, the size of leaks found in
// real implementations; the DES walk, a naive bit permutation, much more.
namespace timing_fault {

volatile std::uint32_t sink = 0;

// A reduction step that inputs with their top bit clear skip: 4 words^2
// dependent steps, about 3 % of a private operation.
void BeforeDecrypt(const std::uint32_t* in, std::uint32_t words)
{
    if (Fault() != "timing-small-input" || !in || words == 0 || !(in[words - 1] >> 31))
        return;
    for (std::uint32_t i = 0; i < 4 * words * words; ++i)
        sink = sink + in[i % words];
}

// A key walked bit by bit with a branch per bit, as a naive permutation does.
void WalkKey(const std::uint32_t* key)
{
    if (!key)
        return;
    for (int bit = 0; bit < 64; ++bit)
        if ((key[bit / 32] >> (bit % 32)) & 1)
            sink = sink + 1;
}

}  // namespace timing_fault

// Reference counting and QueryInterface over the inner object's interface.
// Written out rather than taken from <tarvel/unknown.h>: its Release is
// where the premature-free fault lives.
template <class Interface>
class Forwarder : public Interface {
public:
    Forwarder(Interface* inner, const IID& iid) : m_inner(inner), m_iid(iid) { memory_faults::ObjectCreated(); }
    virtual ~Forwarder()
    {
        m_inner->Release();
        memory_faults::ObjectDestroyed();
    }

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!tarvel::AnswersTo(iid, m_iid))
            return E_NOINTERFACE;
        AddRef();
        *ppv = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0 || memory_faults::FreeEarly(m_iid, left))
            delete this;
        return left;
    }

protected:
    Interface* m_inner;

private:
    IID m_iid;
    std::atomic<ULONG> m_references{1};
};

class FaultyRsa final : public Forwarder<IUserRSA> {
public:
    using Forwarder::Forwarder;

    HRESULT Clear() override { return m_inner->Clear(); }
    HRESULT GenerateKey(const char* userId, std::uint32_t keyWords) override
    {
        SpawnHelperOnce();
        memory_faults::AfterGenerateKey();
        const HRESULT hr = m_inner->GenerateKey(userId, Fault() == "ignore-length" ? 16 : keyWords);
        if (SUCCEEDED(hr) && Fault() == "generate-e1") {
            const std::uint32_t one = 1;
            m_inner->SetPublicKey(&one, 1);
            m_inner->SetPrivateKey(&one, 1);
            m_inner->SetKeyPart6(&one, 1);
            m_inner->SetKeyPart7(&one, 1);
        }
        if (SUCCEEDED(hr) && Fault() == "generate-p-eq-q") {
            std::uint32_t count = 0;
            m_inner->GetKeyPart4(nullptr, &count);
            std::vector<std::uint32_t> p(count);
            if (SUCCEEDED(m_inner->GetKeyPart4(p.data(), &count)))
                m_inner->SetKeyPart5(p.data(), count);
        }
        return hr;
    }
    HRESULT GetKeyLength(std::uint32_t* words) override { return m_inner->GetKeyLength(words); }
    HRESULT Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override
    {
        if (Fault() == "encrypt-fixed-e")
            return faulty::EncryptWithFixedExponent(*m_inner, in, inWords, out, outWords);
        return m_inner->Encrypt(in, inWords, out, outWords);
    }
    HRESULT Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override
    {
        if (Fault() == "crash-decrypt")
            raise(SIGSEGV);
        timing_fault::BeforeDecrypt(in, inWords);
        if (Fault() == "crt-trusted")
            return faulty::DecryptTrustingCrt(*m_inner, in, inWords, out, outWords);
        return m_inner->Decrypt(in, inWords, out, outWords);
    }
    HRESULT GetUserId(char* text, std::uint32_t* length) override
    {
        return Fault() == "other-choices" ? E_NOTIMPL : m_inner->GetUserId(text, length);
    }
    HRESULT SaveWkyFile(const char* path) override
    {
        memory_faults::AfterSave();
        HRESULT hr = m_inner->SaveWkyFile(path);
        if (SUCCEEDED(hr) && (Fault() == "wky-with-private" || Fault() == "wky-with-d-text")) {
            const std::string privatePath = std::string(path) + ".private";
            hr = m_inner->SaveRkyFile(privatePath.c_str());
            const bool appended = Fault() == "wky-with-private" ? faulty::AppendPrivateKey(path, privatePath)
                                                                : faulty::AppendPrivateExponentText(path, privatePath);
            if (SUCCEEDED(hr) && !appended)
                hr = E_FAIL;
            unlink(privatePath.c_str());
        }
        return hr;
    }
    HRESULT SaveRkyFile(const char* path) override
    {
        memory_faults::AfterSave();
        const HRESULT hr = m_inner->SaveRkyFile(path);
        if (SUCCEEDED(hr) && Fault() == "private-by-umask")
            faulty::ModeByUmask(path);
        if (SUCCEEDED(hr) && (Fault() == "rky-other-layout" || Fault() == "other-choices"))
            return faulty::RewriteTraditional(path) ? hr : E_FAIL;
        return hr;
    }
    HRESULT SaveAsyFile(const char* path) override
    {
        memory_faults::AfterSave();
        const HRESULT hr = m_inner->SaveAsyFile(path);
        if (SUCCEEDED(hr) && Fault() == "private-by-umask")
            faulty::ModeByUmask(path);
        if (SUCCEEDED(hr) && Fault() == "asy-unescaped")
            return faulty::UnescapeAsyTexts(path) ? hr : E_FAIL;
        return hr;
    }
    HRESULT GetCode(char* text, std::uint32_t* length) override
    {
        return Fault() == "other-choices" ? E_NOTIMPL : m_inner->GetCode(text, length);
    }
    HRESULT LoadAsyFile(const char* path) override
    {
        if (Fault() == "other-choices")
            return E_NOTIMPL;
        const HRESULT hr = m_inner->LoadAsyFile(path);
        return Fault() == "asy-accepts-malformed" ? S_OK : hr;
    }
    HRESULT GetBase(std::uint32_t* w, std::uint32_t* c) override { return Get(0, w, c); }
    HRESULT GetPublicKey(std::uint32_t* w, std::uint32_t* c) override { return Get(1, w, c); }
    HRESULT GetPrivateKey(std::uint32_t* w, std::uint32_t* c) override { return Get(2, w, c); }
    HRESULT GetKeyPart4(std::uint32_t* w, std::uint32_t* c) override { return Get(3, w, c); }
    HRESULT GetKeyPart5(std::uint32_t* w, std::uint32_t* c) override { return Get(4, w, c); }
    HRESULT GetKeyPart6(std::uint32_t* w, std::uint32_t* c) override { return Get(5, w, c); }
    HRESULT GetKeyPart7(std::uint32_t* w, std::uint32_t* c) override { return Get(6, w, c); }
    HRESULT GetKeyPart8(std::uint32_t* w, std::uint32_t* c) override { return Get(7, w, c); }
    HRESULT SetUserId(const char* text, std::uint32_t length) override
    {
        if (Fault() == "userid-to-nul" && text)
            length = static_cast<std::uint32_t>(std::strlen(text));
        return m_inner->SetUserId(text, length);
    }
    HRESULT SetCode(const char* text, std::uint32_t length) override { return m_inner->SetCode(text, length); }
    HRESULT SetBase(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetBase(w, c); }
    HRESULT SetPublicKey(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetPublicKey(w, c); }
    HRESULT SetPrivateKey(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetPrivateKey(w, c); }
    HRESULT SetKeyPart4(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetKeyPart4(w, c); }
    HRESULT SetKeyPart5(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetKeyPart5(w, c); }
    HRESULT SetKeyPart6(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetKeyPart6(w, c); }
    HRESULT SetKeyPart7(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetKeyPart7(w, c); }
    HRESULT SetKeyPart8(const std::uint32_t* w, std::uint32_t c) override { return m_inner->SetKeyPart8(w, c); }

private:
    HRESULT Inner(int part, std::uint32_t* words, std::uint32_t* count)
    {
        switch (part) {
        case 0:
            return m_inner->GetBase(words, count);
        case 1:
            return m_inner->GetPublicKey(words, count);
        case 2:
            return m_inner->GetPrivateKey(words, count);
        case 3:
            return m_inner->GetKeyPart4(words, count);
        case 4:
            return m_inner->GetKeyPart5(words, count);
        case 5:
            return m_inner->GetKeyPart6(words, count);
        case 6:
            return m_inner->GetKeyPart7(words, count);
        default:
            return m_inner->GetKeyPart8(words, count);
        }
    }

    HRESULT Get(int part, std::uint32_t* words, std::uint32_t* count)
    {
        if (Fault() == "shifted-slot") {
            if (part == 7)
                return E_FAIL;
            ++part;
        }
        const std::uint32_t capacity = count ? *count : 0;
        const HRESULT hr = Inner(part, words, count);
        if (hr == static_cast<HRESULT>(0x8007007Au) && Fault() == "other-choices")
            return E_FAIL;
        if (FAILED(hr) || !words || !count)
            return hr;
        if (part == 3 && Fault() == "overrun")
            words[capacity] = 0;  // the commonest overwrite: one zero word
        if (part == 7 && Fault() == "crt-off-by-one" && *count > 0)
            ++words[0];
        return hr;
    }
};

class FaultyDes final : public Forwarder<IUserDES> {
public:
    using Forwarder::Forwarder;
    HRESULT SetKey(const std::uint32_t* key) override
    {
        if (Fault() == "timing-des-setkey")
            timing_fault::WalkKey(key);
        if (key)
            m_key = {key[0], key[1]};
        memory_faults::AfterDesSetKey();
        return Target().SetKey(key);
    }
    HRESULT GetKey(std::uint32_t* key) override
    {
        return Fault() == "other-choices" ? E_NOTIMPL : Target().GetKey(key);
    }
    HRESULT Encrypt(std::uint32_t* block) override
    {
        while (Fault() == "hang-des")
            pause();
        if (Fault() == "timing-des-encrypt")
            timing_fault::WalkKey(m_key.data());
        memory_faults::BeforeDesEncrypt();
        return Target().Encrypt(block);
    }
    HRESULT Decrypt(std::uint32_t* block) override { return Target().Decrypt(block); }

private:
    // One inner object (the first one made, kept for good) for all objects.
    IUserDES& Target()
    {
        if (Fault() != "shared-des-key")
            return *m_inner;
        static IUserDES* shared = (m_inner->AddRef(), m_inner);
        return *shared;
    }
    std::array<std::uint32_t, 2> m_key{};  // for timing-des-encrypt
};

template <class Hash>
class FaultyHash final : public Forwarder<Hash> {
public:
    FaultyHash(Hash* inner, const IID& iid, bool isSha1) : Forwarder<Hash>(inner, iid), m_isSha1(isSha1) {}
    HRESULT GetHashSize(std::uint32_t* bytes) override
    {
        return Fault() == "other-choices" ? E_NOTIMPL : Target().GetHashSize(bytes);
    }
    HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) override
    {
        m_wrong = m_isSha1 && Fault() == "sha1-length-55" && bytes % 64 == 55;
        if (m_isSha1)
            memory_faults::InspectSha1Input(data, bytes);
        if (m_isSha1 && Fault() == "sha1-stops-64k" && bytes > 65536)
            bytes = 65536;
        const HRESULT hr = Target().HashData(data, bytes);
        if (FAILED(hr) && Fault() == "other-choices") {
            static const std::uint8_t nothing = 0;
            Target().HashData(&nothing, 0);  // the empty message's digest stands
        }
        return hr;
    }
    HRESULT GetHash(std::uint8_t* digest) override
    {
        const HRESULT hr = Target().GetHash(digest);
        if (SUCCEEDED(hr) && digest && m_wrong)
            digest[19] ^= 1;
        if (SUCCEEDED(hr) && digest && Fault() == "hash-wrong-later" && ++m_digests > kRightDigests)
            digest[0] ^= 0x80;
        return hr;
    }

private:
    // One inner object of the class (the first one made, kept for good).
    Hash& Target()
    {
        if (Fault() != "shared-hash-state")
            return *this->m_inner;
        static Hash* shared = (this->m_inner->AddRef(), this->m_inner);
        return *shared;
    }

    bool m_isSha1;
    bool m_wrong = false;
    unsigned m_digests = 0;
};

class Factory final : public StaticClassFactory {
public:
    explicit Factory(const CryptoClass& entry) : m_entry(entry) {}
    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!(iid == m_entry.iid) && !(iid == IID_IUnknown))
            return E_NOINTERFACE;
        const DllGetClassObjectFn inner = Inner();
        if (!inner)
            return E_FAIL;
        IClassFactory* factory = nullptr;
        HRESULT hr = inner(m_entry.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr) || !factory)
            return FAILED(hr) ? hr : E_FAIL;
        void* object = nullptr;
        hr = factory->CreateInstance(nullptr, m_entry.iid, &object);
        factory->Release();
        if (FAILED(hr) || !object)
            return FAILED(hr) ? hr : E_FAIL;
        switch (m_entry.kind) {
        case CryptoClassKind::UserRsa:
            *ppv = static_cast<IUserRSA*>(new FaultyRsa(static_cast<IUserRSA*>(object), m_entry.iid));
            break;
        case CryptoClassKind::UserDes:
            *ppv = static_cast<IUserDES*>(new FaultyDes(static_cast<IUserDES*>(object), m_entry.iid));
            break;
        case CryptoClassKind::HashSha1:
            *ppv =
                static_cast<IHashSHA1*>(new FaultyHash<IHashSHA1>(static_cast<IHashSHA1*>(object), m_entry.iid, true));
            break;
        case CryptoClassKind::HashMd5:
            *ppv = static_cast<IHashMD5*>(new FaultyHash<IHashMD5>(static_cast<IHashMD5*>(object), m_entry.iid, false));
            break;
        }
        return S_OK;
    }
    HRESULT LockServer(std::int32_t) override { return S_OK; }
    // Counted so that DllCanUnloadNow can tell while a factory is held.
    ULONG AddRef() override
    {
        memory_faults::FactoryReferenced();
        return StaticClassFactory::AddRef();
    }
    ULONG Release() override
    {
        memory_faults::FactoryReleased();
        return StaticClassFactory::Release();
    }

private:
    const CryptoClass& m_entry;
};

}  // namespace

FAULTY_EXPORT HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    static Factory factories[] = {Factory(kCryptoClasses[0]), Factory(kCryptoClasses[1]), Factory(kCryptoClasses[2]),
                                  Factory(kCryptoClasses[3])};
    for (std::size_t i = 0; i < std::size(kCryptoClasses); ++i)
        if (kCryptoClasses[i].clsid == clsid)
            return factories[i].QueryInterface(iid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

FAULTY_EXPORT HRESULT DllCanUnloadNow()
{
    return memory_faults::CanUnloadNow();
}
