// One class factory per class; it makes fresh objects of that class.
#pragma once

#include <tarvel/call_guard.h>
#include "com_object.h"
#include "module_lifetime.h"

#include <memory>

namespace tarvel::component {

template <class Object>
class ClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return GuardedCall([&] { return HandOut(std::make_unique<Object>(), iid, ppv); });
    }

    HRESULT LockServer(std::int32_t lock) override
    {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }
};

}  // namespace tarvel::component
