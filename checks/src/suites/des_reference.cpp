// Single DES has no place in OpenSSL 3's default provider; the low-level
// functions still carry it, deprecated. They are the reference here only:
// for the checks' expected answers and for the bench's timed comparison.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "suites/support.h"

#include <openssl/des.h>

#include <cstring>

namespace checks::support {
namespace {

DES_key_schedule Schedule(const std::uint8_t key[8])
{
    DES_cblock keyBlock;
    std::memcpy(keyBlock, key, 8);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);
    return schedule;
}

}  // namespace

std::array<std::uint8_t, 8> OpenSslDes(const std::uint8_t key[8], const std::uint8_t block[8], bool encrypt)
{
    DES_key_schedule schedule = Schedule(key);
    DES_cblock in, out;
    std::memcpy(in, block, 8);
    DES_ecb_encrypt(&in, &out, &schedule, encrypt ? DES_ENCRYPT : DES_DECRYPT);
    std::array<std::uint8_t, 8> result;
    std::memcpy(result.data(), out, 8);
    return result;
}

void OpenSslDesRoundTrip(const std::uint8_t key[8], std::uint8_t block[8])
{
    DES_key_schedule schedule = Schedule(key);
    DES_cblock a, b;
    std::memcpy(a, block, 8);
    DES_ecb_encrypt(&a, &b, &schedule, DES_ENCRYPT);
    DES_ecb_encrypt(&b, &a, &schedule, DES_DECRYPT);
    std::memcpy(block, a, 8);
}

}  // namespace checks::support
