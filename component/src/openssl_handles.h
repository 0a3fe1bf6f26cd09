// Owners for the OpenSSL objects the component keeps. Numbers may hold key
// material, so they are cleared on free.
#pragma once

#include <component/openssl_ptr.h>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

namespace tarvel::component {

using BignumPtr = OpenSslPtr<BIGNUM, BN_clear_free>;
using BnCtxPtr = OpenSslPtr<BN_CTX, BN_CTX_free>;
using MontCtxPtr = OpenSslPtr<BN_MONT_CTX, BN_MONT_CTX_free>;
using PkeyPtr = OpenSslPtr<EVP_PKEY, EVP_PKEY_free>;
using PkeyCtxPtr = OpenSslPtr<EVP_PKEY_CTX, EVP_PKEY_CTX_free>;
using BioPtr = OpenSslPtr<BIO, BIO_free_all>;
using MdPtr = OpenSslPtr<EVP_MD, EVP_MD_free>;
using MdCtxPtr = OpenSslPtr<EVP_MD_CTX, EVP_MD_CTX_free>;
using ParamBldPtr = OpenSslPtr<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>;
using ParamPtr = OpenSslPtr<OSSL_PARAM, OSSL_PARAM_free>;

// Allocation failures inside OpenSSL surface as std::bad_alloc, which the
// call guard turns into E_OUTOFMEMORY.
BignumPtr NewBignum();
BnCtxPtr NewBnCtx();
BignumPtr CopyBignum(const BIGNUM* source);

}  // namespace tarvel::component
