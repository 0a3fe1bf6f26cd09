// Owners for the OpenSSL objects the component keeps. Numbers may hold key
// material, so they are cleared on free.
#pragma once

#include <component/openssl_ptr.h>

namespace tarvel::component {

using BignumPtr = OpenSslPtr<BIGNUM, BN_clear_free>;
using MontCtxPtr = OpenSslPtr<BN_MONT_CTX, BN_MONT_CTX_free>;

// Allocation failures inside OpenSSL surface as std::bad_alloc, which the
// call guard turns into E_OUTOFMEMORY.
BignumPtr NewBignum();
BnCtxPtr NewBnCtx();
BignumPtr CopyBignum(const BIGNUM* source);

}  // namespace tarvel::component
