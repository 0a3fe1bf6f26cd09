// Handing out objects of a component written in C++: the class factory
// DllGetClassObject returns for a class, and HandOut, which gives a new
// object to a caller asking for one of its interfaces.
//
//     HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** ppv)
//     {
//         ...
//         if (clsid == CLSID_UserDES)
//             return tarvel::HandOut(new (std::nothrow) tarvel::ClassFactory<MyDes>(g_module), iid, ppv);
//         ...
//     }
#pragma once

#include <tarvel/call_guard.h>
#include <tarvel/module_count.h>
#include <tarvel/unknown.h>

#include <cstdint>

namespace tarvel {

// Gives made, a new object holding the one reference it was made with, to a
// caller asking for iid: the caller gets a reference of its own, and the
// object goes when iid is refused. A null object (a failed
// new (std::nothrow)) is E_OUTOFMEMORY.
template <class Object>
HRESULT HandOut(Object* made, const GUID& iid, void** ppv)
{
    if (!made) {
        if (ppv)
            *ppv = nullptr;
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = made->QueryInterface(iid, ppv);
    made->Release();
    return hr;
}

// The class factory of Object, one for each DllGetClassObject call: each
// CreateInstance makes a new Object with `new` (objects cannot be
// aggregated), and it and its objects keep the library in use.
template <class Object>
class ClassFactory final : public Unknown<IClassFactory> {
public:
    explicit ClassFactory(ModuleCount& module) : Unknown(IID_IClassFactory), m_module(module), m_use(module) {}

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return GuardedCall([&] { return HandOut(new Object, iid, ppv); });
    }

    HRESULT LockServer(std::int32_t lock) override
    {
        if (lock)
            m_module.Lock();
        else
            m_module.Unlock();
        return S_OK;
    }

private:
    ModuleCount& m_module;
    ModuleCount::Use m_use;
};

}  // namespace tarvel
