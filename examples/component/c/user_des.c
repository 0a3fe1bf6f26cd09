/* IUserDES: single DES in ECB mode on one two-word block, in place. */
#include "object.h"

#include <stdlib.h>

typedef struct UserDes {
    Object base;
    /* the key schedule goes here */
} UserDes;

OBJECT_IUNKNOWN(IUserDES)

/* SetKey takes two words; parity bits are ignored. */
static HRESULT SetKey(IUserDES* self, const uint32_t* key)
{
    (void)self, (void)key;
    return E_NOTIMPL;
}

/* GetKey writes two words; fails before SetKey. */
static HRESULT GetKey(IUserDES* self, uint32_t* key)
{
    (void)self, (void)key;
    return E_NOTIMPL;
}

static HRESULT Encrypt(IUserDES* self, uint32_t* block)
{
    (void)self, (void)block;
    return E_NOTIMPL;
}

static HRESULT Decrypt(IUserDES* self, uint32_t* block)
{
    (void)self, (void)block;
    return E_NOTIMPL;
}

static const IUserDESVtbl kVtbl = {
    .QueryInterface = IUserDESQueryInterface,
    .AddRef = IUserDESAddRef,
    .Release = IUserDESRelease,
    .SetKey = SetKey,
    .GetKey = GetKey,
    .Encrypt = Encrypt,
    .Decrypt = Decrypt,
};

static void Destroy(Object* self)
{
    free(self);
}

IUnknown* UserDesCreate(void)
{
    UserDes* object = calloc(1, sizeof *object);
    if (object == NULL)
        return NULL;
    ObjectInit(&object->base, &kVtbl, &IID_IUserDES, Destroy);
    return (IUnknown*)object;
}
