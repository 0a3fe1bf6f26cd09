#include "bench/openssl_reference.h"

#include "suites/number_words.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>

#include <cstring>

namespace bench {
namespace {

using checks::support::Bignum;
using checks::support::ToBignum;

}  // namespace

std::string OpenSslError(const std::string& what)
{
    char text[256] = "no reason given";
    if (const unsigned long code = ERR_get_error())
        ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return what + " failed in OpenSSL: " + text;
}

PkeyPtr RsaKeyFromNumbers(const std::array<Words, 8>& numbers, std::string& error)
{
    static const char* const kNames[8] = {OSSL_PKEY_PARAM_RSA_N,         OSSL_PKEY_PARAM_RSA_E,
                                          OSSL_PKEY_PARAM_RSA_D,         OSSL_PKEY_PARAM_RSA_FACTOR1,
                                          OSSL_PKEY_PARAM_RSA_FACTOR2,   OSSL_PKEY_PARAM_RSA_EXPONENT1,
                                          OSSL_PKEY_PARAM_RSA_EXPONENT2, OSSL_PKEY_PARAM_RSA_COEFFICIENT1};
    std::array<Bignum, 8> bns;
    tarvel::ParamBldPtr builder(OSSL_PARAM_BLD_new());
    for (std::size_t i = 0; i < 8; ++i) {
        bns[i] = ToBignum(numbers[i]);
        if (!bns[i] || !builder || !OSSL_PARAM_BLD_push_BN(builder.get(), kNames[i], bns[i].get())) {
            error = OpenSslError("building the key's parameters");
            return nullptr;
        }
    }
    tarvel::ParamPtr params(OSSL_PARAM_BLD_to_param(builder.get()));
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    EVP_PKEY* key = nullptr;
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0 ||
        EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_KEYPAIR, params.get()) <= 0) {
        error = OpenSslError("EVP_PKEY_fromdata");
        return nullptr;
    }
    return PkeyPtr(key);
}

std::string CheckRsaKey(EVP_PKEY* key)
{
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
    if (!ctx || EVP_PKEY_check(ctx.get()) != 1)
        return OpenSslError("EVP_PKEY_check of the generated key");
    return {};
}

RawRsa::RawRsa(EVP_PKEY* key, bool privateOperation)
    : m_ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr)), m_private(privateOperation)
{
    const bool ready = m_ctx &&
                       (m_private ? EVP_PKEY_decrypt_init(m_ctx.get()) : EVP_PKEY_encrypt_init(m_ctx.get())) > 0 &&
                       EVP_PKEY_CTX_set_rsa_padding(m_ctx.get(), RSA_NO_PADDING) > 0;
    if (!ready)
        m_ctx.reset();
}

bool RawRsa::Run(const std::uint8_t* in, std::uint8_t* out, std::size_t bytes)
{
    std::size_t outBytes = bytes;
    return (m_private ? EVP_PKEY_decrypt(m_ctx.get(), out, &outBytes, in, bytes)
                      : EVP_PKEY_encrypt(m_ctx.get(), out, &outBytes, in, bytes)) > 0 &&
           outBytes == bytes;
}

RsaKeyGenerator::RsaKeyGenerator(unsigned bits) : m_ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr))
{
    if (!m_ctx || EVP_PKEY_keygen_init(m_ctx.get()) <= 0 || EVP_PKEY_CTX_set_rsa_keygen_bits(m_ctx.get(), bits) <= 0)
        m_ctx.reset();
}

PkeyPtr RsaKeyGenerator::Generate()
{
    EVP_PKEY* key = nullptr;
    if (EVP_PKEY_generate(m_ctx.get(), &key) <= 0)
        return nullptr;
    return PkeyPtr(key);
}

Digest::Digest(const char* name) : m_md(EVP_MD_fetch(nullptr, name, nullptr)), m_ctx(EVP_MD_CTX_new()) {}

std::size_t Digest::Size() const
{
    return static_cast<std::size_t>(EVP_MD_get_size(m_md.get()));
}

bool Digest::Run(const std::uint8_t* data, std::size_t count, std::uint8_t* digest)
{
    return EVP_DigestInit_ex2(m_ctx.get(), m_md.get(), nullptr) == 1 &&
           EVP_DigestUpdate(m_ctx.get(), data, count) == 1 && EVP_DigestFinal_ex(m_ctx.get(), digest, nullptr) == 1;
}

}  // namespace bench
