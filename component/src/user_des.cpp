// Single DES is only in OpenSSL's legacy provider; the low-level functions
// do the same without loading providers, so their deprecation is silenced here.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "user_des.h"

#include <tarvel/call_guard.h>

#include <openssl/crypto.h>
#include <openssl/des.h>

#include <cstring>

namespace tarvel::component {
namespace {

// Key and block bytes are the words' bytes in memory order.
void WordsToBlock(const std::uint32_t* words, DES_cblock& block)
{
    std::memcpy(block, words, sizeof block);
}

void BlockToWords(const DES_cblock& block, std::uint32_t* words)
{
    std::memcpy(words, block, sizeof block);
}

}  // namespace

struct UserDes::Schedule {
    DES_key_schedule keys;
};

UserDes::UserDes() : m_schedule(std::make_unique<Schedule>()) {}

UserDes::~UserDes()
{
    OPENSSL_cleanse(m_schedule.get(), sizeof(Schedule));
    OPENSSL_cleanse(m_key.data(), sizeof m_key);
}

HRESULT UserDes::SetKey(const std::uint32_t* key)
{
    return GuardedCall([&] {
        if (!key)
            return E_POINTER;
        DES_cblock bytes;
        WordsToBlock(key, bytes);
        // Unchecked: parity bits are ignored and random keys have none.
        DES_set_key_unchecked(&bytes, &m_schedule->keys);
        OPENSSL_cleanse(bytes, sizeof bytes);
        m_key = {key[0], key[1]};
        m_hasKey = true;
        return S_OK;
    });
}

HRESULT UserDes::GetKey(std::uint32_t* key)
{
    return GuardedCall([&] {
        if (!key)
            return E_POINTER;
        if (!m_hasKey)
            return E_FAIL;
        key[0] = m_key[0];
        key[1] = m_key[1];
        return S_OK;
    });
}

HRESULT UserDes::Encrypt(std::uint32_t* block)
{
    return Transform(block, true);
}

HRESULT UserDes::Decrypt(std::uint32_t* block)
{
    return Transform(block, false);
}

HRESULT UserDes::Transform(std::uint32_t* block, bool encrypt)
{
    return GuardedCall([&] {
        if (!block)
            return E_POINTER;
        if (!m_hasKey)
            return E_FAIL;
        DES_cblock input;
        DES_cblock output;
        WordsToBlock(block, input);
        DES_ecb_encrypt(&input, &output, &m_schedule->keys, encrypt ? DES_ENCRYPT : DES_DECRYPT);
        BlockToWords(output, block);
        return S_OK;
    });
}

}  // namespace tarvel::component
