/* What every object of the component shares: the pointer to its interface's
 * table first, a reference count and the one interface it is made for. */
#ifndef MYCRYPTO_OBJECT_H
#define MYCRYPTO_OBJECT_H

#include <tarvel/crypto_c.h>

#include <stdatomic.h>
#include <stddef.h>

typedef struct Object {
    const void* lpVtbl; /* first, where callers look for the table */
    atomic_uint references;
    const IID* iid;
    void (*destroy)(struct Object* self); /* frees what the object holds, then the object */
} Object;

/* Objects alive plus factory locks; DllCanUnloadNow answers from it. */
extern atomic_long g_moduleUsers;

/* Sets up the shared part of a freshly allocated object with one reference. */
void ObjectInit(Object* self, const void* vtbl, const IID* iid, void (*destroy)(Object* self));

HRESULT ObjectQueryInterface(Object* self, const GUID* iid, void** ppv);
ULONG ObjectAddRef(Object* self);
ULONG ObjectRelease(Object* self);

/* The three IUnknown slots of interface Type, as functions with the types its
 * table wants: Type##QueryInterface, Type##AddRef and Type##Release. */
#define OBJECT_IUNKNOWN(Type)                                                                                          \
    static HRESULT Type##QueryInterface(Type* self, const GUID* iid, void** ppv)                                       \
    {                                                                                                                  \
        return ObjectQueryInterface((Object*)self, iid, ppv);                                                          \
    }                                                                                                                  \
    static ULONG Type##AddRef(Type* self)                                                                              \
    {                                                                                                                  \
        return ObjectAddRef((Object*)self);                                                                            \
    }                                                                                                                  \
    static ULONG Type##Release(Type* self)                                                                             \
    {                                                                                                                  \
        return ObjectRelease((Object*)self);                                                                           \
    }

/* A new factory for the class whose objects create() makes (one reference,
 * or NULL when out of memory). */
IClassFactory* FactoryCreate(IUnknown* (*create)(void));

/* The four classes, each in its own file. */
IUnknown* UserRsaCreate(void);
IUnknown* UserDesCreate(void);
IUnknown* HashSha1Create(void);
IUnknown* HashMd5Create(void);

#endif
