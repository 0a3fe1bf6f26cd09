/* The library's two exported functions: which classes it serves and whether
 * it may be unloaded. */
#include "object.h"

#define EXPORTED __attribute__((visibility("default")))

EXPORTED HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** ppv)
{
    IUnknown* (*create)(void) = NULL;
    IClassFactory* factory;
    HRESULT status;
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    if (clsid == NULL || iid == NULL)
        return E_INVALIDARG;
    if (IsEqualGUID(clsid, &CLSID_UserRSA))
        create = UserRsaCreate;
    else if (IsEqualGUID(clsid, &CLSID_UserDES))
        create = UserDesCreate;
    else if (IsEqualGUID(clsid, &CLSID_HashSHA1))
        create = HashSha1Create;
    else if (IsEqualGUID(clsid, &CLSID_HashMD5))
        create = HashMd5Create;
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    factory = FactoryCreate(create);
    if (factory == NULL)
        return E_OUTOFMEMORY;
    status = factory->lpVtbl->QueryInterface(factory, iid, ppv);
    factory->lpVtbl->Release(factory);
    return status;
}

EXPORTED HRESULT DllCanUnloadNow(void)
{
    return g_moduleUsers == 0 ? S_OK : S_FALSE;
}
