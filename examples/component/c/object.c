#include "object.h"

#include <stdlib.h>

atomic_long g_moduleUsers = 0;

void ObjectInit(Object* self, const void* vtbl, const IID* iid, void (*destroy)(Object* self))
{
    self->lpVtbl = vtbl;
    atomic_init(&self->references, 1);
    self->iid = iid;
    self->destroy = destroy;
    ++g_moduleUsers;
}

HRESULT ObjectQueryInterface(Object* self, const GUID* iid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    if (iid == NULL)
        return E_INVALIDARG;
    if (!IsEqualGUID(iid, &IID_IUnknown) && !IsEqualGUID(iid, self->iid))
        return E_NOINTERFACE;
    ObjectAddRef(self);
    *ppv = self;
    return S_OK;
}

ULONG ObjectAddRef(Object* self)
{
    return ++self->references;
}

ULONG ObjectRelease(Object* self)
{
    const ULONG left = --self->references;
    if (left == 0) {
        self->destroy(self);
        --g_moduleUsers;
    }
    return left;
}

/* The class factory: an object like the others, with the maker of its class. */
typedef struct Factory {
    Object base;
    IUnknown* (*create)(void);
} Factory;

OBJECT_IUNKNOWN(IClassFactory)

static HRESULT FactoryCreateInstance(IClassFactory* self, IUnknown* outer, const GUID* iid, void** ppv)
{
    IUnknown* object;
    HRESULT status;
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    if (outer != NULL)
        return CLASS_E_NOAGGREGATION;
    object = ((Factory*)self)->create();
    if (object == NULL)
        return E_OUTOFMEMORY;
    status = object->lpVtbl->QueryInterface(object, iid, ppv);
    object->lpVtbl->Release(object); /* the reference QueryInterface took is the caller's */
    return status;
}

static HRESULT FactoryLockServer(IClassFactory* self, int32_t lock)
{
    (void)self;
    if (lock)
        ++g_moduleUsers;
    else
        --g_moduleUsers;
    return S_OK;
}

static const IClassFactoryVtbl kFactoryVtbl = {
    IClassFactoryQueryInterface, IClassFactoryAddRef, IClassFactoryRelease, FactoryCreateInstance, FactoryLockServer,
};

static void FactoryDestroy(Object* self)
{
    free(self);
}

IClassFactory* FactoryCreate(IUnknown* (*create)(void))
{
    Factory* factory = malloc(sizeof *factory);
    if (factory == NULL)
        return NULL;
    ObjectInit(&factory->base, &kFactoryVtbl, &IID_IClassFactory, FactoryDestroy);
    factory->create = create;
    return (IClassFactory*)factory;
}
