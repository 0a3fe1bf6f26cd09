// Owners for the OpenSSL objects the component keeps; each frees its object
// exactly once. Numbers may hold key material, so they are cleared on free.
#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>

namespace tarvel::component {

struct BignumFree {
    void operator()(BIGNUM* p) const { BN_clear_free(p); }
};
struct BnCtxFree {
    void operator()(BN_CTX* p) const { BN_CTX_free(p); }
};
struct MontCtxFree {
    void operator()(BN_MONT_CTX* p) const { BN_MONT_CTX_free(p); }
};
struct PkeyFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
};
struct BioFree {
    void operator()(BIO* p) const { BIO_free_all(p); }
};
struct MdFree {
    void operator()(EVP_MD* p) const { EVP_MD_free(p); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};
struct ParamBldFree {
    void operator()(OSSL_PARAM_BLD* p) const { OSSL_PARAM_BLD_free(p); }
};
struct ParamFree {
    void operator()(OSSL_PARAM* p) const { OSSL_PARAM_free(p); }
};

using BignumPtr = std::unique_ptr<BIGNUM, BignumFree>;
using BnCtxPtr = std::unique_ptr<BN_CTX, BnCtxFree>;
using MontCtxPtr = std::unique_ptr<BN_MONT_CTX, MontCtxFree>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;
using BioPtr = std::unique_ptr<BIO, BioFree>;
using MdPtr = std::unique_ptr<EVP_MD, MdFree>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;
using ParamBldPtr = std::unique_ptr<OSSL_PARAM_BLD, ParamBldFree>;
using ParamPtr = std::unique_ptr<OSSL_PARAM, ParamFree>;

// Allocation failures inside OpenSSL surface as std::bad_alloc, which the
// call guard turns into E_OUTOFMEMORY.
BignumPtr NewBignum();
BnCtxPtr NewBnCtx();
BignumPtr CopyBignum(const BIGNUM* source);

}  // namespace tarvel::component
