// Owners for the OpenSSL objects the reference side of the benchmarks uses.
#pragma once

#include <memory>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

namespace bench {

template <auto FreeFn>
struct OpenSslDeleter {
    template <class T>
    void operator()(T* p) const
    {
        FreeFn(p);
    }
};

using BignumPtr = std::unique_ptr<BIGNUM, OpenSslDeleter<BN_free>>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY_free>>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, OpenSslDeleter<EVP_PKEY_CTX_free>>;
using ParamBuildPtr = std::unique_ptr<OSSL_PARAM_BLD, OpenSslDeleter<OSSL_PARAM_BLD_free>>;
using MdPtr = std::unique_ptr<EVP_MD, OpenSslDeleter<EVP_MD_free>>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, OpenSslDeleter<EVP_MD_CTX_free>>;
using ParamsPtr = std::unique_ptr<OSSL_PARAM, OpenSslDeleter<OSSL_PARAM_free>>;

}  // namespace bench
