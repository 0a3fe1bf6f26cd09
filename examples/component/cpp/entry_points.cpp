// The library's two exported functions: which classes it serves and whether
// it may be unloaded.
#include "hashes.h"
#include "object.h"
#include "user_des.h"
#include "user_rsa.h"

std::atomic<long> g_moduleUsers{0};

namespace {

template <typename Implementation>
HRESULT HandOutFactory(const GUID& iid, void** ppv)
{
    auto* factory = new (std::nothrow) Factory<Implementation>;
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT status = factory->QueryInterface(iid, ppv);
    factory->Release();
    return status;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid,
                                                                            void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    // No exception may leave the library; allocation failure is reported as
    // E_OUTOFMEMORY by the factories instead.
    if (clsid == CLSID_UserRSA)
        return HandOutFactory<UserRsa>(iid, ppv);
    if (clsid == CLSID_UserDES)
        return HandOutFactory<UserDes>(iid, ppv);
    if (clsid == CLSID_HashSHA1)
        return HandOutFactory<HashSha1>(iid, ppv);
    if (clsid == CLSID_HashMD5)
        return HandOutFactory<HashMd5>(iid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return g_moduleUsers == 0 ? S_OK : S_FALSE;
}
