// The IUnknown part of a class factory that lives as long as its library: it
// answers for IUnknown and IClassFactory, and its reference count means
// nothing. The test components derive their factories from it.
#pragma once

#include <tarvel/com.h>
#include <tarvel/ids.h>

class StaticClassFactory : public IClassFactory {
public:
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

protected:
    // Not deleted through this class: the factories are the library's statics.
    ~StaticClassFactory() = default;
};
