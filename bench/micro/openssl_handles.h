// Owners for the OpenSSL objects the reference side of the benchmarks uses.
#pragma once

#include <component/openssl_ptr.h>

namespace bench {

using namespace tarvel;
using BignumPtr = OpenSslPtr<BIGNUM, BN_free>;

}  // namespace bench
