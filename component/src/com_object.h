// Reference counting and interface lookup shared by every object of the
// component. Each object implements exactly one interface besides IUnknown.
#pragma once

#include "module_lifetime.h"

#include <tarvel/ids.h>

#include <atomic>
#include <memory>

namespace tarvel::component {

template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == kInterfaceId) {
            AddRef();
            *ppv = static_cast<Interface*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    ULONG AddRef() override { return m_references.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG Release() override
    {
        const ULONG left = m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            // The last reference owns the object; it came from std::make_unique.
            std::unique_ptr<ComObject> self(this);
        }
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    template <class Object>
    friend struct std::default_delete;

    std::atomic<ULONG> m_references{1};
    ModuleReference m_module;
};

// Hands a freshly made object (holding the one reference it starts with) to
// a caller asking for iid; the object dies here when iid is refused.
template <class Object>
HRESULT HandOut(std::unique_ptr<Object> object, const GUID& iid, void** ppv)
{
    Object* raw = object.release();
    const HRESULT hr = raw->QueryInterface(iid, ppv);
    raw->Release();
    return hr;
}

}  // namespace tarvel::component
