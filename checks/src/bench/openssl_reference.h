// The same work done by OpenSSL directly: what each of the component's
// answers is checked against, and what --vs-openssl times beside it. Every
// handle is made once, before timing, as a program using OpenSSL well would.
#pragma once

#include "component/openssl_ptr.h"

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

using Words = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

using tarvel::PkeyCtxPtr;
using tarvel::PkeyPtr;

// The most recent OpenSSL error as text, for a failure message.
std::string OpenSslError(const std::string& what);

// An RSA key from its eight numbers in getter order (n, e, d, p, q,
// d mod (p-1), d mod (q-1), q^-1 mod p); null with error set on failure.
PkeyPtr RsaKeyFromNumbers(const std::array<Words, 8>& numbers, std::string& error);
// "" when OpenSSL's full key check passes (primes, product, exponents, CRT).
std::string CheckRsaKey(EVP_PKEY* key);

// Raw RSA (no padding) with one context made up front.
class RawRsa {
public:
    RawRsa(EVP_PKEY* key, bool privateOperation);
    bool Ready() const { return m_ctx != nullptr; }
    // in and out hold the modulus's size in bytes.
    bool Run(const std::uint8_t* in, std::uint8_t* out, std::size_t bytes);

private:
    PkeyCtxPtr m_ctx;
    bool m_private;
};

// Key generation through EVP_PKEY_generate with e = 65537.
class RsaKeyGenerator {
public:
    explicit RsaKeyGenerator(unsigned bits);
    bool Ready() const { return m_ctx != nullptr; }
    PkeyPtr Generate();

private:
    PkeyCtxPtr m_ctx;
};

// A digest with the algorithm fetched once and its context reused.
class Digest {
public:
    explicit Digest(const char* name);
    bool Ready() const { return m_ctx != nullptr && m_md != nullptr; }
    std::size_t Size() const;
    bool Run(const std::uint8_t* data, std::size_t count, std::uint8_t* digest);

private:
    tarvel::MdPtr m_md;
    tarvel::MdCtxPtr m_ctx;
};

}  // namespace bench
