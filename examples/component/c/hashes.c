/* IHashSHA1 and IHashMD5 share one shape and, here, one implementation; only
 * the digest size differs. */
#include "object.h"

#include <stdlib.h>

typedef struct Hash {
    Object base;
    uint32_t digestBytes;
    /* the digest of the last HashData goes here */
} Hash;

static HRESULT HashGetHashSize(Hash* self, uint32_t* bytes)
{
    if (bytes == NULL)
        return E_POINTER;
    *bytes = self->digestBytes;
    return S_OK;
}

/* The digest of exactly these bytes; each call starts afresh. */
static HRESULT HashHashData(Hash* self, const uint8_t* data, uint32_t bytes)
{
    (void)self, (void)data, (void)bytes;
    return E_NOTIMPL;
}

/* Writes digestBytes bytes; fails before any HashData. */
static HRESULT HashGetHash(Hash* self, uint8_t* digest)
{
    (void)self, (void)digest;
    return E_NOTIMPL;
}

/* The table of one of the two interfaces over the shared functions. */
#define HASH_INTERFACE(Type, Iid, Bytes, Create)                                                                       \
    OBJECT_IUNKNOWN(Type)                                                                                              \
    static HRESULT Type##GetHashSize(Type* self, uint32_t* bytes)                                                      \
    {                                                                                                                  \
        return HashGetHashSize((Hash*)self, bytes);                                                                    \
    }                                                                                                                  \
    static HRESULT Type##HashData(Type* self, const uint8_t* data, uint32_t bytes)                                     \
    {                                                                                                                  \
        return HashHashData((Hash*)self, data, bytes);                                                                 \
    }                                                                                                                  \
    static HRESULT Type##GetHash(Type* self, uint8_t* digest)                                                          \
    {                                                                                                                  \
        return HashGetHash((Hash*)self, digest);                                                                       \
    }                                                                                                                  \
    static const Type##Vtbl k##Type##Vtbl = {                                                                          \
        Type##QueryInterface, Type##AddRef, Type##Release, Type##GetHashSize, Type##HashData, Type##GetHash,           \
    };                                                                                                                 \
    IUnknown* Create(void)                                                                                             \
    {                                                                                                                  \
        Hash* object = calloc(1, sizeof *object);                                                                      \
        if (object == NULL)                                                                                            \
            return NULL;                                                                                               \
        ObjectInit(&object->base, &k##Type##Vtbl, &Iid, Destroy);                                                      \
        object->digestBytes = Bytes;                                                                                   \
        return (IUnknown*)object;                                                                                      \
    }

static void Destroy(Object* self)
{
    free(self);
}

HASH_INTERFACE(IHashSHA1, IID_IHashSHA1, TARVEL_SHA1_DIGEST_BYTES, HashSha1Create)
HASH_INTERFACE(IHashMD5, IID_IHashMD5, TARVEL_MD5_DIGEST_BYTES, HashMd5Create)
