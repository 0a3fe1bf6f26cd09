// The component's two entry points, the only symbols the library exports.
#include "digest_object.h"
#include "module_lifetime.h"
#include "user_des.h"
#include "user_rsa.h"

#include <tarvel/class_factory.h>
#include <tarvel/classes.h>

#define TARVEL_EXPORT extern "C" __attribute__((visibility("default")))

using namespace tarvel::component;

namespace {

template <class Object>
HRESULT HandOutFactory(const GUID& iid, void** ppv)
{
    return tarvel::GuardedCall([&] { return tarvel::HandOut(new tarvel::ClassFactory<Object>(g_module), iid, ppv); });
}

HRESULT HandOutFactoryOf(CryptoClassKind kind, const GUID& iid, void** ppv)
{
    switch (kind) {
    case CryptoClassKind::UserRsa:
        return HandOutFactory<UserRsa>(iid, ppv);
    case CryptoClassKind::UserDes:
        return HandOutFactory<UserDes>(iid, ppv);
    case CryptoClassKind::HashSha1:
        return HandOutFactory<HashSha1>(iid, ppv);
    case CryptoClassKind::HashMd5:
        return HandOutFactory<HashMd5>(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace

TARVEL_EXPORT HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (const CryptoClass* served = FindCryptoClass(clsid))
        return HandOutFactoryOf(served->kind, iid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

TARVEL_EXPORT HRESULT DllCanUnloadNow()
{
    return g_module.InUse() ? S_FALSE : S_OK;
}
