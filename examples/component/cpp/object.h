// What every object of the component shares: a reference count, the two
// identities QueryInterface answers to, and the class factory that makes it.
// A method body that may throw (anything that allocates through the standard
// library) belongs inside tarvel::GuardedCall from <tarvel/call_guard.h>.
#pragma once

#include <tarvel/crypto.h>

#include <atomic>
#include <new>

// Objects alive plus factory locks; DllCanUnloadNow answers from it.
extern std::atomic<long> g_moduleUsers;

template <typename Interface>
class Object : public Interface {
public:
    Object() { ++g_moduleUsers; }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = nullptr;
        if (!(iid == IID_IUnknown) && !(iid == InterfaceId()))
            return E_NOINTERFACE;
        *ppv = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    // The interface this object is made for (IID_IUserRSA, ...).
    virtual const IID& InterfaceId() const = 0;

protected:
    // Only Release deletes: no one outside holds an object by value.
    virtual ~Object() { --g_moduleUsers; }

private:
    std::atomic<ULONG> m_references{1};
};

// Makes objects of class Implementation; one factory per DllGetClassObject call.
template <typename Implementation>
class Factory final : public Object<IClassFactory> {
public:
    const IID& InterfaceId() const override { return IID_IClassFactory; }

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) Implementation;
        if (object == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT status = object->QueryInterface(iid, ppv);
        object->Release();  // the reference QueryInterface took is the caller's
        return status;
    }
    HRESULT LockServer(std::int32_t lock) override
    {
        lock ? ++g_moduleUsers : --g_moduleUsers;
        return S_OK;
    }
};
