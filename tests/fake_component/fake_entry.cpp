// The component's two exported entry points and its class factories.
#include "fake_des.h"
#include "fake_hash.h"
#include "fake_rsa.h"
#include "fake_state.h"
#include "static_class_factory.h"

#include <tarvel/classes.h>
#include <tarvel/unknown.h>

#include <array>
#include <iterator>
#include <memory>
#include <utility>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace fake {
namespace {

template <class Object, class Interface, class... Args>
std::unique_ptr<ObjectBase> Make(void*& object, Args&&... args)
{
    auto made = std::make_unique<Object>(std::forward<Args>(args)...);
    object = static_cast<Interface*>(made.get());
    return made;
}

// A new object of the class; object receives its pointer as entry.iid.
std::unique_ptr<ObjectBase> MakeObject(const CryptoClass& entry, void*& object)
{
    switch (entry.kind) {
    case CryptoClassKind::UserRsa:
        return Make<FakeRsa, IUserRSA>(object);
    case CryptoClassKind::UserDes:
        return Make<FakeDes, IUserDES>(object);
    case CryptoClassKind::HashSha1:
        return Make<FakeSha1, IHashSHA1>(object, entry.interfaceName, entry.iid, kSha1DigestBytes);
    case CryptoClassKind::HashMd5:
        return Make<FakeMd5, IHashMD5>(object, entry.interfaceName, entry.iid, kMd5DigestBytes);
    }
    return nullptr;
}

// One factory per class, living as long as the library; its reference count
// only tracks server locks.
class Factory final : public StaticClassFactory {
public:
    explicit Factory(const CryptoClass& entry) : m_entry(entry) {}

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        return tarvel::GuardedCall([&] {
            if (!ppv)
                return E_POINTER;
            *ppv = nullptr;
            if (outer)
                return CLASS_E_NOAGGREGATION;
            State& state = State::Instance();
            std::lock_guard lock(state.mutex);
            if (auto hr = state.CreationFails(m_entry.clsid))
                return *hr;
            if (!tarvel::AnswersTo(iid, m_entry.iid))
                return E_NOINTERFACE;
            void* object = nullptr;
            state.Adopt(MakeObject(m_entry, object));
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

    const CLSID& Clsid() const { return m_entry.clsid; }

private:
    const CryptoClass& m_entry;
};

template <std::size_t... Index>
std::array<Factory, sizeof...(Index)> FactoriesOf(std::index_sequence<Index...>)
{
    return {Factory(kCryptoClasses[Index])...};
}

std::array<Factory, std::size(kCryptoClasses)> g_factories =
    FactoriesOf(std::make_index_sequence<std::size(kCryptoClasses)>());

}  // namespace
}  // namespace fake

FAKE_EXPORT HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** ppv)
{
    using namespace fake;
    return tarvel::GuardedCall([&] {
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
