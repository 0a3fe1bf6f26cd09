// Single DES has no place in OpenSSL 3's default provider; the low-level
// functions still carry it, deprecated. They are the reference here only.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "bench/openssl_reference.h"

#include <openssl/des.h>

#include <cstring>

namespace bench {

void DesRoundTrip(const std::uint8_t key[8], std::uint8_t block[8])
{
    DES_cblock keyBlock, a, b;
    std::memcpy(keyBlock, key, 8);
    std::memcpy(a, block, 8);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);
    DES_ecb_encrypt(&a, &b, &schedule, DES_ENCRYPT);
    DES_ecb_encrypt(&b, &a, &schedule, DES_DECRYPT);
    std::memcpy(block, a, 8);
}

}  // namespace bench
