#include "openssl_handles.h"

#include <new>

namespace tarvel::component {

BignumPtr NewBignum()
{
    BignumPtr number(BN_secure_new());
    if (!number)
        throw std::bad_alloc();
    return number;
}

BnCtxPtr NewBnCtx()
{
    BnCtxPtr ctx(BN_CTX_secure_new());
    if (!ctx)
        throw std::bad_alloc();
    return ctx;
}

BignumPtr CopyBignum(const BIGNUM* source)
{
    BignumPtr copy = NewBignum();
    if (!BN_copy(copy.get(), source))
        throw std::bad_alloc();
    return copy;
}

}  // namespace tarvel::component
