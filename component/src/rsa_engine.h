// The raw RSA operations on one set of key numbers, with everything that is
// costly to prepare (Montgomery contexts, the OpenSSL key) made once.
#pragma once

#include "rsa_numbers.h"

#include <tarvel/com.h>

#include <cstdint>
#include <vector>

namespace tarvel::component {

class RsaEngine {
public:
    // The numbers must hold a base of at least one word.
    explicit RsaEngine(const RsaNumbers& numbers);

    std::uint32_t KeyWords() const { return m_keyWords; }
    const BIGNUM* Base() const { return m_n.get(); }

    // out = in^e mod n. E_FAIL when the key has no public key.
    HRESULT Encrypt(const BIGNUM* in, BIGNUM* out);
    // out = in^d mod n, through the prime factors when the key has consistent
    // ones, else with d alone. E_FAIL when the key has no private key.
    HRESULT Decrypt(const BIGNUM* in, BIGNUM* out);

    // True when DecryptWords can do the private operation: the numbers form
    // a consistent OpenSSL key.
    bool DecryptsWords() const { return m_decryptCtx != nullptr; }
    // out = in^d mod n on KeyWords() words each, through OpenSSL's key with
    // no number made per call. E_INVALIDARG when in is not below n. All of
    // in is read before out is written, so they may be one buffer.
    HRESULT DecryptWords(const std::uint32_t* in, std::uint32_t* out);

    // The complete OpenSSL key, or null when the eight numbers do not form a
    // consistent private key.
    const EVP_PKEY* PrivateKey() const { return m_privateKey.get(); }
    // The public half (n, e) as an OpenSSL key, or null without e.
    PkeyPtr PublicKey() const;

private:
    HRESULT ExpModN(const BIGNUM* in, const BIGNUM* exponent, BIGNUM* out, bool secret);
    HRESULT DecryptWithPrivateKey(const BIGNUM* in, BIGNUM* out);

    BignumPtr m_n;
    BignumPtr m_e;
    BignumPtr m_d;
    std::uint32_t m_keyWords = 0;
    int m_baseBytes = 0;
    BnCtxPtr m_ctx;
    MontCtxPtr m_montN;
    PkeyPtr m_privateKey;
    PkeyCtxPtr m_decryptCtx;
    // n big-endian, for the range check on the word path.
    std::vector<unsigned char> m_baseBigEndian;
};

}  // namespace tarvel::component
