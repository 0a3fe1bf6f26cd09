// Single DES has no place in OpenSSL 3's default provider; the low-level
// functions still carry it, deprecated. They are the reference here only.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "suites/support.h"

#include <openssl/des.h>

#include <cstring>

namespace checks::support {

std::array<std::uint8_t, 8> OpenSslDes(const std::uint8_t key[8], const std::uint8_t block[8], bool encrypt)
{
    DES_cblock keyBlock;
    std::memcpy(keyBlock, key, 8);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);
    DES_cblock in, out;
    std::memcpy(in, block, 8);
    DES_ecb_encrypt(&in, &out, &schedule, encrypt ? DES_ENCRYPT : DES_DECRYPT);
    std::array<std::uint8_t, 8> result;
    std::memcpy(result.data(), out, 8);
    return result;
}

}  // namespace checks::support
