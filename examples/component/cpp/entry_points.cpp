// The library's two exported functions: which classes it serves and whether
// it may be unloaded.
#include "hashes.h"
#include "object.h"
#include "user_des.h"
#include "user_rsa.h"

#include <tarvel/class_factory.h>

#include <new>

constinit tarvel::ModuleCount g_module;

namespace {

template <typename Implementation>
HRESULT HandOutFactory(const GUID& iid, void** ppv)
{
    return tarvel::HandOut(new (std::nothrow) tarvel::ClassFactory<Implementation>(g_module), iid, ppv);
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
    return g_module.InUse() ? S_FALSE : S_OK;
}
