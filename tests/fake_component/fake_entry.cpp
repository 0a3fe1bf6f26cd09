// The component's two exported entry points and its class factories.
#include "fake_des.h"
#include "fake_hash.h"
#include "fake_rsa.h"
#include "fake_state.h"

#include <tarvel/ids.h>

#include <memory>
#include <utility>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace fake {
namespace {

using Maker = std::unique_ptr<ObjectBase> (*)(void*& object);

template <class Object, class Interface, class... Args>
std::unique_ptr<ObjectBase> Make(void*& object, Args&&... args)
{
    auto made = std::make_unique<Object>(std::forward<Args>(args)...);
    object = static_cast<Interface*>(made.get());
    return made;
}

// One factory per class, living as long as the library; its reference count
// only tracks server locks.
class Factory final : public IClassFactory {
public:
    Factory(const CLSID& clsid, const IID& iid, Maker maker) : m_clsid(clsid), m_iid(iid), m_maker(maker) {}

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!(iid == IID_IUnknown) && !(iid == IID_IClassFactory))
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        return Guarded([&] {
            if (!ppv)
                return E_POINTER;
            *ppv = nullptr;
            if (outer)
                return CLASS_E_NOAGGREGATION;
            State& state = State::Instance();
            std::lock_guard lock(state.mutex);
            if (auto hr = state.CreationFails(m_clsid))
                return *hr;
            if (!(iid == m_iid) && !(iid == IID_IUnknown))
                return E_NOINTERFACE;
            void* object = nullptr;
            state.Adopt(m_maker(object));
            *ppv = object;
            return S_OK;
        });
    }

    HRESULT LockServer(std::int32_t lock) override
    {
        std::lock_guard guard(State::Instance().mutex);
        State::Instance().serverLocks += lock ? 1 : -1;
        return S_OK;
    }

    const CLSID& Clsid() const { return m_clsid; }

private:
    CLSID m_clsid;
    IID m_iid;
    Maker m_maker;
};

Factory g_factories[] = {
    {CLSID_UserRSA, IID_IUserRSA, [](void*& o) { return Make<FakeRsa, IUserRSA>(o); }},
    {CLSID_UserDES, IID_IUserDES, [](void*& o) { return Make<FakeDes, IUserDES>(o); }},
    {CLSID_HashSHA1, IID_IHashSHA1,
     [](void*& o) { return Make<FakeSha1, IHashSHA1>(o, "IHashSHA1", IID_IHashSHA1, kSha1DigestBytes); }},
    {CLSID_HashMD5, IID_IHashMD5,
     [](void*& o) { return Make<FakeMd5, IHashMD5>(o, "IHashMD5", IID_IHashMD5, kMd5DigestBytes); }},
};

}  // namespace
}  // namespace fake

FAKE_EXPORT HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** ppv)
{
    using namespace fake;
    return Guarded([&] {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        {
            std::lock_guard lock(State::Instance().mutex);
            if (auto hr = State::Instance().ClassRefused(clsid))
                return *hr;
        }
        for (Factory& factory : g_factories) {
            if (factory.Clsid() == clsid)
                return factory.QueryInterface(iid, ppv);
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    });
}

FAKE_EXPORT HRESULT DllCanUnloadNow()
{
    using namespace fake;
    std::lock_guard lock(State::Instance().mutex);
    return State::Instance().LiveObjects() == 0 && State::Instance().serverLocks == 0 ? S_OK : S_FALSE;
}
