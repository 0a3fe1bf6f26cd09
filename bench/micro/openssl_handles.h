// Owners for the OpenSSL objects the reference side of the benchmarks uses.
#pragma once

#include <component/openssl_ptr.h>

#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

namespace bench {

using tarvel::OpenSslPtr;
using BignumPtr = OpenSslPtr<BIGNUM, BN_free>;
using PkeyPtr = OpenSslPtr<EVP_PKEY, EVP_PKEY_free>;
using PkeyCtxPtr = OpenSslPtr<EVP_PKEY_CTX, EVP_PKEY_CTX_free>;
using ParamBuildPtr = OpenSslPtr<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>;
using MdPtr = OpenSslPtr<EVP_MD, EVP_MD_free>;
using MdCtxPtr = OpenSslPtr<EVP_MD_CTX, EVP_MD_CTX_free>;
using ParamsPtr = OpenSslPtr<OSSL_PARAM, OSSL_PARAM_free>;

}  // namespace bench
