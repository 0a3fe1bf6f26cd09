/* The crypto component's binary interface for C.
 *
 * The same objects as <tarvel/crypto.h>, spelled as C sees them: an object is
 * a struct whose first member points at its interface's table of function
 * pointers, slot 0 first; every function takes the object first. A component
 * written in C fills one table per interface and hands out pointers to
 * structs that begin with a pointer to it. The slot numbers in the comments
 * are the binary contract; crypto/README.md gives every slot's protocol.
 *
 * C++ code includes <tarvel/crypto.h> instead; the two must not meet in one
 * translation unit, as both define GUID and the interface names.
 */
#ifndef TARVEL_CRYPTO_C_H
#define TARVEL_CRYPTO_C_H

#ifdef __cplusplus
#error "C++ code includes <tarvel/crypto.h>; this header is the C spelling of it"
#endif

#include <stdint.h>

typedef int32_t HRESULT;
typedef uint32_t ULONG;

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111u)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)

#define SUCCEEDED(hr) ((HRESULT)(hr) >= 0)
#define FAILED(hr) ((HRESULT)(hr) < 0)

typedef struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;

/* Identifiers are static in every file that includes this header; the
 * attribute keeps the ones a file does not use from being warned about. */
#if defined(__GNUC__)
#define TARVEL_GUID(name, d1, d2, d3, ...) static const GUID name __attribute__((unused)) = {d1, d2, d3, {__VA_ARGS__}}
#else
#define TARVEL_GUID(name, d1, d2, d3, ...) static const GUID name = {d1, d2, d3, {__VA_ARGS__}}
#endif

TARVEL_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
TARVEL_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
TARVEL_GUID(IID_IUserRSA, 0x4E07A732, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(CLSID_UserRSA, 0x4E07A733, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(IID_IUserDES, 0x4E07A736, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(CLSID_UserDES, 0x4E07A737, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(IID_IHashSHA1, 0x4E07A738, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(CLSID_HashSHA1, 0x4E07A739, 0xF847, 0x11D1, 0x97, 0xF6, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(IID_IHashMD5, 0x4CFC7FF1, 0xFBA8, 0x11D1, 0x97, 0xF7, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);
TARVEL_GUID(CLSID_HashMD5, 0x4CFC7FF2, 0xFBA8, 0x11D1, 0x97, 0xF7, 0x20, 0x4C, 0x4F, 0x4F, 0x50, 0x20);

#undef TARVEL_GUID

#define TARVEL_SHA1_DIGEST_BYTES 20u
#define TARVEL_MD5_DIGEST_BYTES 16u

/* Byte-wise comparison of two identifiers, as QueryInterface needs it. */
static inline int IsEqualGUID(const GUID* a, const GUID* b)
{
    const uint8_t* x = a->Data4;
    const uint8_t* y = b->Data4;
    int i;
    if (a->Data1 != b->Data1 || a->Data2 != b->Data2 || a->Data3 != b->Data3)
        return 0;
    for (i = 0; i < 8; ++i)
        if (x[i] != y[i])
            return 0;
    return 1;
}

/* The three slots every object begins with. */
#define TARVEL_IUNKNOWN_SLOTS(Self)                                                                                    \
    HRESULT (*QueryInterface)(Self * self, const GUID* iid, void** ppv); /* 0 */                                       \
    ULONG (*AddRef)(Self * self);                                        /* 1 */                                       \
    ULONG (*Release)(Self * self)                                        /* 2 */

typedef struct IUnknown IUnknown;
typedef struct IUnknownVtbl {
    TARVEL_IUNKNOWN_SLOTS(IUnknown);
} IUnknownVtbl;
struct IUnknown {
    const IUnknownVtbl* lpVtbl;
};

typedef struct IClassFactory IClassFactory;
typedef struct IClassFactoryVtbl {
    TARVEL_IUNKNOWN_SLOTS(IClassFactory);
    HRESULT (*CreateInstance)(IClassFactory* self, IUnknown* outer, const GUID* iid, void** ppv); /* 3 */
    HRESULT (*LockServer)(IClassFactory* self, int32_t lock);                                     /* 4 */
} IClassFactoryVtbl;
struct IClassFactory {
    const IClassFactoryVtbl* lpVtbl;
};

/* Numbers travel as uint32_t words, least significant first. A getter given
 * words == NULL writes the count it needs to *count; otherwise *count is the
 * capacity in and the words written out. */
#define TARVEL_NUMBER_GETTER(Name) HRESULT (*Name)(IUserRSA * self, uint32_t * words, uint32_t * count)
#define TARVEL_NUMBER_SETTER(Name) HRESULT (*Name)(IUserRSA * self, const uint32_t* words, uint32_t count)

typedef struct IUserRSA IUserRSA;
typedef struct IUserRSAVtbl {
    TARVEL_IUNKNOWN_SLOTS(IUserRSA);
    HRESULT (*Clear)(IUserRSA* self);                                                                            /* 3 */
    HRESULT (*GenerateKey)(IUserRSA* self, const char* userId, uint32_t keyWords);                               /* 4 */
    HRESULT (*GetKeyLength)(IUserRSA* self, uint32_t* words);                                                    /* 5 */
    HRESULT (*Encrypt)(IUserRSA* self, const uint32_t* in, uint32_t inWords, uint32_t* out, uint32_t* outWords); /* 6 */
    HRESULT (*Decrypt)(IUserRSA* self, const uint32_t* in, uint32_t inWords, uint32_t* out, uint32_t* outWords); /* 7 */
    /* Text getters: a null buffer asks for the length without terminator;
     * otherwise *length is the capacity in bytes, terminator included. */
    HRESULT (*GetUserId)(IUserRSA* self, char* text, uint32_t* length);      /* 8 */
    HRESULT (*SaveWkyFile)(IUserRSA* self, const char* path);                /* 9 */
    HRESULT (*SaveRkyFile)(IUserRSA* self, const char* path);                /* 10 */
    HRESULT (*SaveAsyFile)(IUserRSA* self, const char* path);                /* 11 */
    HRESULT (*GetCode)(IUserRSA* self, char* text, uint32_t* length);        /* 12 */
    HRESULT (*LoadAsyFile)(IUserRSA* self, const char* path);                /* 13 */
    TARVEL_NUMBER_GETTER(GetBase);                                           /* 14 */
    TARVEL_NUMBER_GETTER(GetPublicKey);                                      /* 15 */
    TARVEL_NUMBER_GETTER(GetPrivateKey);                                     /* 16 */
    TARVEL_NUMBER_GETTER(GetKeyPart4);                                       /* 17 */
    TARVEL_NUMBER_GETTER(GetKeyPart5);                                       /* 18 */
    TARVEL_NUMBER_GETTER(GetKeyPart6);                                       /* 19 */
    TARVEL_NUMBER_GETTER(GetKeyPart7);                                       /* 20 */
    TARVEL_NUMBER_GETTER(GetKeyPart8);                                       /* 21 */
    HRESULT (*SetUserId)(IUserRSA* self, const char* text, uint32_t length); /* 22 */
    HRESULT (*SetCode)(IUserRSA* self, const char* text, uint32_t length);   /* 23 */
    TARVEL_NUMBER_SETTER(SetBase);                                           /* 24 */
    TARVEL_NUMBER_SETTER(SetPublicKey);                                      /* 25 */
    TARVEL_NUMBER_SETTER(SetPrivateKey);                                     /* 26 */
    TARVEL_NUMBER_SETTER(SetKeyPart4);                                       /* 27 */
    TARVEL_NUMBER_SETTER(SetKeyPart5);                                       /* 28 */
    TARVEL_NUMBER_SETTER(SetKeyPart6);                                       /* 29 */
    TARVEL_NUMBER_SETTER(SetKeyPart7);                                       /* 30 */
    TARVEL_NUMBER_SETTER(SetKeyPart8);                                       /* 31 */
} IUserRSAVtbl;
struct IUserRSA {
    const IUserRSAVtbl* lpVtbl;
};

#undef TARVEL_NUMBER_GETTER
#undef TARVEL_NUMBER_SETTER

typedef struct IUserDES IUserDES;
typedef struct IUserDESVtbl {
    TARVEL_IUNKNOWN_SLOTS(IUserDES);
    HRESULT (*SetKey)(IUserDES* self, const uint32_t* key); /* 3: two words */
    HRESULT (*GetKey)(IUserDES* self, uint32_t* key);       /* 4: two words; fails before SetKey */
    HRESULT (*Encrypt)(IUserDES* self, uint32_t* block);    /* 5: two words, in place */
    HRESULT (*Decrypt)(IUserDES* self, uint32_t* block);    /* 6: two words, in place */
} IUserDESVtbl;
struct IUserDES {
    const IUserDESVtbl* lpVtbl;
};

/* SHA-1 and MD5 share one shape; only the digest size differs. */
#define TARVEL_HASH_SLOTS(Self)                                                                                        \
    TARVEL_IUNKNOWN_SLOTS(Self);                                                                                       \
    HRESULT (*GetHashSize)(Self * self, uint32_t * bytes);                 /* 3 */                                     \
    HRESULT (*HashData)(Self * self, const uint8_t* data, uint32_t bytes); /* 4 */                                     \
    HRESULT (*GetHash)(Self * self, uint8_t * digest)                      /* 5 */

typedef struct IHashSHA1 IHashSHA1;
typedef struct IHashSHA1Vtbl {
    TARVEL_HASH_SLOTS(IHashSHA1);
} IHashSHA1Vtbl;
struct IHashSHA1 {
    const IHashSHA1Vtbl* lpVtbl;
};

typedef struct IHashMD5 IHashMD5;
typedef struct IHashMD5Vtbl {
    TARVEL_HASH_SLOTS(IHashMD5);
} IHashMD5Vtbl;
struct IHashMD5 {
    const IHashMD5Vtbl* lpVtbl;
};

#undef TARVEL_HASH_SLOTS
#undef TARVEL_IUNKNOWN_SLOTS

/* The table sizes are the contract: a slot added or lost is a compile error. */
_Static_assert(sizeof(IClassFactoryVtbl) == 5 * sizeof(void (*)(void)), "IClassFactory has 5 slots");
_Static_assert(sizeof(IUserRSAVtbl) == 32 * sizeof(void (*)(void)), "IUserRSA has 32 slots");
_Static_assert(sizeof(IUserDESVtbl) == 7 * sizeof(void (*)(void)), "IUserDES has 7 slots");
_Static_assert(sizeof(IHashSHA1Vtbl) == 6 * sizeof(void (*)(void)), "IHashSHA1 has 6 slots");
_Static_assert(sizeof(IHashMD5Vtbl) == 6 * sizeof(void (*)(void)), "IHashMD5 has 6 slots");

/* The two entry points a component library exports. */
HRESULT DllGetClassObject(const CLSID* clsid, const IID* iid, void** ppv);
HRESULT DllCanUnloadNow(void);

#endif /* TARVEL_CRYPTO_C_H */
