// One owner for every OpenSSL object: a unique_ptr whose deleter is the
// object's own free function, so each is freed exactly once and the kind of
// free (plain, clearing) is named where the owner type is declared.
#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>

namespace tarvel {

template <auto FreeFn>
struct OpenSslFree {
    template <class T>
    void operator()(T* p) const
    {
        FreeFn(p);
    }
};

template <class T, auto FreeFn>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree<FreeFn>>;

// The owners every user of OpenSSL here needs. Numbers are left out: the
// component clears its numbers on free (they may be key material), other
// code need not.
using BnCtxPtr = OpenSslPtr<BN_CTX, BN_CTX_free>;
using PkeyPtr = OpenSslPtr<EVP_PKEY, EVP_PKEY_free>;
using PkeyCtxPtr = OpenSslPtr<EVP_PKEY_CTX, EVP_PKEY_CTX_free>;
using BioPtr = OpenSslPtr<BIO, BIO_free_all>;
using MdPtr = OpenSslPtr<EVP_MD, EVP_MD_free>;
using MdCtxPtr = OpenSslPtr<EVP_MD_CTX, EVP_MD_CTX_free>;
using ParamBldPtr = OpenSslPtr<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>;
using ParamPtr = OpenSslPtr<OSSL_PARAM, OSSL_PARAM_free>;

}  // namespace tarvel
