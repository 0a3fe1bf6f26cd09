// IUnknown for the fake objects, and the guard that keeps exceptions inside.
#pragma once

#include "call_recorder.h"
#include "fake_state.h"

#include <tarvel/ids.h>

#include <new>

namespace fake {

template <class F>
HRESULT Guarded(F&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

template <class Interface>
class FakeObject : public Interface, public ObjectBase {
public:
    FakeObject(const char* interfaceName, const IID& iid) : ObjectBase(interfaceName), m_iid(iid) {}

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        return Guarded([&] {
            CallRecorder call(*this, "QueryInterface");
            call.Arg("iid", iid == m_iid ? std::string(InterfaceName()) : iid == IID_IUnknown ? "IUnknown" : "other");
            if (!ppv)
                return call.Return(E_POINTER);
            *ppv = nullptr;
            if (auto hr = call.Injected())
                return call.Return(*hr);
            if (!(iid == m_iid) && !(iid == IID_IUnknown))
                return call.Return(E_NOINTERFACE);
            ++references;
            *ppv = static_cast<Interface*>(this);
            return call.Return(S_OK);
        });
    }

    ULONG AddRef() override
    {
        CallRecorder call(*this, "AddRef");
        call.Return(S_OK);
        return ++references;
    }

    // Objects stay in memory after the last release (until the next reset) so
    // that a caller's use after release is counted instead of corrupting memory.
    ULONG Release() override
    {
        std::lock_guard lock(State::Instance().mutex);
        if (!stale) {
            ++releases;
            if (references == 0)
                ++State::Instance().callsAfterRelease;
        }
        if (references > 0)
            --references;
        return references;
    }

private:
    IID m_iid;
};

}  // namespace fake
