// IUnknown for the objects of a component written in C++: QueryInterface
// answering IUnknown and the one interface the object is made for, and a
// reference count that any thread may change. An object derives from
// tarvel::Unknown<Interface>, names its interface identifier once, and
// writes only the interface's own methods:
//
//     class MyDes final : public tarvel::Unknown<IUserDES> {
//     public:
//         MyDes() : Unknown(IID_IUserDES) {}
//         HRESULT SetKey(const std::uint32_t* key) override { ... }
//         ...
//     };
//
// A proxy that forwards to another object passes that object's interface
// identifier and releases it in its destructor. <tarvel/class_factory.h>
// makes such objects for DllGetClassObject.
#pragma once

#include <tarvel/com.h>
#include <tarvel/ids.h>

#include <atomic>

namespace tarvel {

// Whether an object made for the interface `served` answers a QueryInterface
// for `asked`: every object answers for IUnknown as well.
constexpr bool AnswersTo(const IID& asked, const IID& served)
{
    return asked == IID_IUnknown || asked == served;
}

// What the last Release does.
enum class LastRelease {
    Deletes,  // the object was made by new and deletes itself
    Keeps,    // the object lives elsewhere (a static, a local): its owner ends it
};

template <class Interface, LastRelease kLastRelease = LastRelease::Deletes>
class Unknown : public Interface {
public:
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!AnswersTo(iid, m_served))
            return E_NOINTERFACE;
        AddRef();
        *ppv = static_cast<Interface*>(this);
        return S_OK;
    }

    ULONG AddRef() override { return m_references.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG Release() override
    {
        const ULONG left = m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if constexpr (kLastRelease == LastRelease::Deletes) {
            if (left == 0)
                delete this;
        }
        return left;
    }

    // The references held now, for tests and diagnostics; another thread may
    // change it at any moment.
    ULONG References() const { return m_references.load(std::memory_order_acquire); }

protected:
    // The new object holds one reference, its maker's.
    explicit Unknown(const IID& served) : m_served(served) {}
    // Only Release (or the owner of a kept object) ends an object.
    virtual ~Unknown() = default;

private:
    IID m_served;
    std::atomic<ULONG> m_references{1};
};

}  // namespace tarvel
