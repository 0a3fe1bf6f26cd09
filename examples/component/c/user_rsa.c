/* IUserRSA: key generation, raw RSA, the key's numbers and texts, key files.
 * Every slot is still to be written; slots of one shape share one stub until
 * then. crypto/README.md (installed as
 * share/doc/tarvel-component-dev/interface.md) gives each slot's protocol. */
#include "object.h"

#include <stdlib.h>

typedef struct UserRsa {
    Object base;
    /* the key, the user id and the code go here */
} UserRsa;

OBJECT_IUNKNOWN(IUserRSA)

static HRESULT Clear(IUserRSA* self)
{
    (void)self;
    return E_NOTIMPL;
}

static HRESULT GenerateKey(IUserRSA* self, const char* userId, uint32_t keyWords)
{
    (void)self, (void)userId, (void)keyWords;
    return E_NOTIMPL;
}

static HRESULT GetKeyLength(IUserRSA* self, uint32_t* words)
{
    (void)self, (void)words;
    return E_NOTIMPL;
}

/* Encrypt and Decrypt. */
static HRESULT RawRsaStub(IUserRSA* self, const uint32_t* in, uint32_t inWords, uint32_t* out, uint32_t* outWords)
{
    (void)self, (void)in, (void)inWords, (void)out, (void)outWords;
    return E_NOTIMPL;
}

/* GetUserId and GetCode. */
static HRESULT TextGetterStub(IUserRSA* self, char* text, uint32_t* length)
{
    (void)self, (void)text, (void)length;
    return E_NOTIMPL;
}

/* SetUserId and SetCode. */
static HRESULT TextSetterStub(IUserRSA* self, const char* text, uint32_t length)
{
    (void)self, (void)text, (void)length;
    return E_NOTIMPL;
}

/* The three saves and LoadAsyFile. */
static HRESULT KeyFileStub(IUserRSA* self, const char* path)
{
    (void)self, (void)path;
    return E_NOTIMPL;
}

/* The eight number getters. */
static HRESULT NumberGetterStub(IUserRSA* self, uint32_t* words, uint32_t* count)
{
    (void)self, (void)words, (void)count;
    return E_NOTIMPL;
}

/* The eight number setters. */
static HRESULT NumberSetterStub(IUserRSA* self, const uint32_t* words, uint32_t count)
{
    (void)self, (void)words, (void)count;
    return E_NOTIMPL;
}

static const IUserRSAVtbl kVtbl = {
    .QueryInterface = IUserRSAQueryInterface,
    .AddRef = IUserRSAAddRef,
    .Release = IUserRSARelease,
    .Clear = Clear,
    .GenerateKey = GenerateKey,
    .GetKeyLength = GetKeyLength,
    .Encrypt = RawRsaStub,
    .Decrypt = RawRsaStub,
    .GetUserId = TextGetterStub,
    .SaveWkyFile = KeyFileStub,
    .SaveRkyFile = KeyFileStub,
    .SaveAsyFile = KeyFileStub,
    .GetCode = TextGetterStub,
    .LoadAsyFile = KeyFileStub,
    .GetBase = NumberGetterStub,
    .GetPublicKey = NumberGetterStub,
    .GetPrivateKey = NumberGetterStub,
    .GetKeyPart4 = NumberGetterStub,
    .GetKeyPart5 = NumberGetterStub,
    .GetKeyPart6 = NumberGetterStub,
    .GetKeyPart7 = NumberGetterStub,
    .GetKeyPart8 = NumberGetterStub,
    .SetUserId = TextSetterStub,
    .SetCode = TextSetterStub,
    .SetBase = NumberSetterStub,
    .SetPublicKey = NumberSetterStub,
    .SetPrivateKey = NumberSetterStub,
    .SetKeyPart4 = NumberSetterStub,
    .SetKeyPart5 = NumberSetterStub,
    .SetKeyPart6 = NumberSetterStub,
    .SetKeyPart7 = NumberSetterStub,
    .SetKeyPart8 = NumberSetterStub,
};

static void Destroy(Object* self)
{
    /* wipe and free the key here */
    free(self);
}

IUnknown* UserRsaCreate(void)
{
    UserRsa* object = calloc(1, sizeof *object);
    if (object == NULL)
        return NULL;
    ObjectInit(&object->base, &kVtbl, &IID_IUserRSA, Destroy);
    return (IUnknown*)object;
}
