// Binary calling convention shared by the programs and every crypto component.
//
// A component is an in-process server: a shared library that hands out objects
// through DllGetClassObject. Objects are reached only through the interfaces
// below, which follow the classic object-binary rules so that a component built
// by another compiler or another team still lines up slot for slot:
//   - single inheritance, pure virtual functions only, no data members;
//   - no virtual destructor (objects free themselves in Release);
//   - every method returns an HRESULT, negative meaning failure;
//   - only fixed-width integer types, pointers and GUIDs cross the boundary.
// Never change a published interface: add a new one with a new identifier.
#pragma once

#include <cstdint>
#include <cstring>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}

// Where an object may live; only in-process servers exist here.
inline constexpr std::uint32_t CLSCTX_INPROC_SERVER = 0x1;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes");

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

using IID = GUID;
using CLSID = GUID;

// Every interface has a protected destructor that is not virtual: a virtual
// one would take a slot, and nobody may delete an object through an interface
// (Release frees it). The compiler then refuses such a delete.
struct IUnknown {
    virtual HRESULT QueryInterface(const GUID& iid, void** ppv) = 0;  // slot 0
    virtual ULONG AddRef() = 0;                                       // slot 1
    virtual ULONG Release() = 0;                                      // slot 2

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) = 0;  // slot 3
    virtual HRESULT LockServer(std::int32_t lock) = 0;                                 // slot 4

protected:
    ~IClassFactory() = default;
};

// The two entry points every component library exports with C linkage.
extern "C" {
using DllGetClassObjectFn = HRESULT (*)(const GUID& clsid, const GUID& iid, void** ppv);
using DllCanUnloadNowFn = HRESULT (*)();
}
