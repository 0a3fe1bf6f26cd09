#include "rsa_engine.h"

#include "secure_bytes.h"
#include "word_codec.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/rsa.h>

#include <cstring>
#include <new>
#include <stdexcept>

namespace tarvel::component {
namespace {

BignumPtr CopyIfPresent(const BIGNUM* number)
{
    return number ? CopyBignum(number) : BignumPtr();
}

// True when e * exponent = 1 mod (prime - 1): e undoes this prime's part of
// the private exponent.
bool InvertsModPrimeMinusOne(const BIGNUM* e, const BIGNUM* exponent, const BIGNUM* primeMinusOne, BN_CTX* ctx)
{
    BignumPtr product = NewBignum();
    return BN_mod_mul(product.get(), e, exponent, primeMinusOne, ctx) && BN_is_one(product.get());
}

// True when p, q and the three CRT values agree with n, d and e, so that the
// private operation may go through the primes. OpenSSL's private operation
// blinds with e, so an e that does not belong to d would give a wrong result
// with no error: such a key takes the path with d alone.
bool HasConsistentFactors(const RsaNumbers& key, BN_CTX* ctx)
{
    for (const BignumPtr& part : key.parts)
        if (!part)
            return false;
    const BIGNUM* n = key.Get(RsaPart::Base);
    const BIGNUM* d = key.Get(RsaPart::PrivateKey);
    const BIGNUM* p = key.Get(RsaPart::PrimeP);
    const BIGNUM* q = key.Get(RsaPart::PrimeQ);
    if (BN_cmp(p, BN_value_one()) <= 0 || BN_cmp(q, BN_value_one()) <= 0)
        return false;

    BignumPtr t = NewBignum();
    BignumPtr m = NewBignum();
    if (!BN_mul(t.get(), p, q, ctx) || BN_cmp(t.get(), n) != 0)
        return false;
    BignumPtr p1 = CopyBignum(p);
    BignumPtr q1 = CopyBignum(q);
    if (!BN_sub_word(p1.get(), 1) || !BN_sub_word(q1.get(), 1))
        return false;
    if (!BN_mod(t.get(), d, p1.get(), ctx) || BN_cmp(t.get(), key.Get(RsaPart::ExponentP)) != 0)
        return false;
    if (!BN_mod(t.get(), d, q1.get(), ctx) || BN_cmp(t.get(), key.Get(RsaPart::ExponentQ)) != 0)
        return false;
    if (!BN_mod_mul(m.get(), key.Get(RsaPart::Coefficient), q, p, ctx) || !BN_is_one(m.get()))
        return false;
    const BIGNUM* e = key.Get(RsaPart::PublicKey);
    return InvertsModPrimeMinusOne(e, key.Get(RsaPart::ExponentP), p1.get(), ctx) &&
           InvertsModPrimeMinusOne(e, key.Get(RsaPart::ExponentQ), q1.get(), ctx);
}

PkeyPtr KeyFromParams(const OSSL_PARAM_BLD* builder, int selection)
{
    ParamPtr params(OSSL_PARAM_BLD_to_param(const_cast<OSSL_PARAM_BLD*>(builder)));
    if (!params)
        throw std::bad_alloc();
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0)
        return {};
    EVP_PKEY* raw = nullptr;
    if (EVP_PKEY_fromdata(ctx.get(), &raw, selection, params.get()) <= 0) {
        ERR_clear_error();
        return {};
    }
    return PkeyPtr(raw);
}

ParamBldPtr NewParamBuilder()
{
    ParamBldPtr builder(OSSL_PARAM_BLD_new());
    if (!builder)
        throw std::bad_alloc();
    return builder;
}

void Push(OSSL_PARAM_BLD* builder, const char* name, const BIGNUM* value)
{
    if (!OSSL_PARAM_BLD_push_BN(builder, name, value))
        throw std::bad_alloc();
}

PkeyPtr BuildPrivateKey(const RsaNumbers& key)
{
    ParamBldPtr builder = NewParamBuilder();
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_N, key.Get(RsaPart::Base));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_E, key.Get(RsaPart::PublicKey));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_D, key.Get(RsaPart::PrivateKey));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_FACTOR1, key.Get(RsaPart::PrimeP));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_FACTOR2, key.Get(RsaPart::PrimeQ));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_EXPONENT1, key.Get(RsaPart::ExponentP));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_EXPONENT2, key.Get(RsaPart::ExponentQ));
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_COEFFICIENT1, key.Get(RsaPart::Coefficient));
    return KeyFromParams(builder.get(), EVP_PKEY_KEYPAIR);
}

}  // namespace

RsaEngine::RsaEngine(const RsaNumbers& numbers)
    : m_n(CopyIfPresent(numbers.Get(RsaPart::Base))), m_e(CopyIfPresent(numbers.Get(RsaPart::PublicKey))),
      m_d(CopyIfPresent(numbers.Get(RsaPart::PrivateKey))), m_ctx(NewBnCtx())
{
    if (!m_n || BN_is_zero(m_n.get()))
        throw std::invalid_argument("no base");
    m_keyWords = WordCount(m_n.get());
    m_baseBytes = BN_num_bytes(m_n.get());

    if (BN_is_odd(m_n.get()) && !BN_is_one(m_n.get())) {
        m_montN.reset(BN_MONT_CTX_new());
        if (!m_montN || !BN_MONT_CTX_set(m_montN.get(), m_n.get(), m_ctx.get()))
            throw std::bad_alloc();
    }

    // OpenSSL's own private operation (CRT, blinding, its fastest modular
    // exponentiation, contexts cached in the key) whenever the numbers allow.
    if (HasConsistentFactors(numbers, m_ctx.get())) {
        m_privateKey = BuildPrivateKey(numbers);
        if (m_privateKey) {
            m_decryptCtx.reset(EVP_PKEY_CTX_new_from_pkey(nullptr, m_privateKey.get(), nullptr));
            if (!m_decryptCtx || EVP_PKEY_decrypt_init(m_decryptCtx.get()) <= 0 ||
                EVP_PKEY_CTX_set_rsa_padding(m_decryptCtx.get(), RSA_NO_PADDING) <= 0) {
                ERR_clear_error();
                m_decryptCtx.reset();
            }
        }
    }
    if (m_decryptCtx) {
        m_baseBigEndian.resize(static_cast<std::size_t>(m_baseBytes));
        if (BN_bn2binpad(m_n.get(), m_baseBigEndian.data(), m_baseBytes) != m_baseBytes)
            throw std::logic_error("base does not fit its own size");
    }
}

PkeyPtr RsaEngine::PublicKey() const
{
    if (!m_e)
        return {};
    ParamBldPtr builder = NewParamBuilder();
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_N, m_n.get());
    Push(builder.get(), OSSL_PKEY_PARAM_RSA_E, m_e.get());
    return KeyFromParams(builder.get(), EVP_PKEY_PUBLIC_KEY);
}

HRESULT RsaEngine::ExpModN(const BIGNUM* in, const BIGNUM* exponent, BIGNUM* out, bool secret)
{
    int ok = 0;
    if (m_montN && secret)
        ok = BN_mod_exp_mont_consttime(out, in, exponent, m_n.get(), m_ctx.get(), m_montN.get());
    else if (m_montN)
        ok = BN_mod_exp_mont(out, in, exponent, m_n.get(), m_ctx.get(), m_montN.get());
    else
        ok = BN_mod_exp(out, in, exponent, m_n.get(), m_ctx.get());
    if (!ok) {
        ERR_clear_error();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT RsaEngine::Encrypt(const BIGNUM* in, BIGNUM* out)
{
    if (!m_e)
        return E_FAIL;
    return ExpModN(in, m_e.get(), out, false);
}

HRESULT RsaEngine::Decrypt(const BIGNUM* in, BIGNUM* out)
{
    if (m_decryptCtx)
        return DecryptWithPrivateKey(in, out);
    if (!m_d)
        return E_FAIL;
    return ExpModN(in, m_d.get(), out, true);
}

HRESULT RsaEngine::DecryptWithPrivateKey(const BIGNUM* in, BIGNUM* out)
{
    // Raw RSA in OpenSSL takes exactly the modulus size, big-endian.
    const auto size = static_cast<std::size_t>(m_baseBytes);
    SecureBytes input(size);
    SecureBytes output(size);
    if (BN_bn2binpad(in, input.data(), m_baseBytes) != m_baseBytes)
        return E_INVALIDARG;
    std::size_t produced = output.size();
    if (EVP_PKEY_decrypt(m_decryptCtx.get(), output.data(), &produced, input.data(), input.size()) <= 0) {
        ERR_clear_error();
        return E_FAIL;
    }
    if (!BN_bin2bn(output.data(), static_cast<int>(produced), out))
        throw std::bad_alloc();
    return S_OK;
}

HRESULT RsaEngine::DecryptWords(const std::uint32_t* in, std::uint32_t* out)
{
    if (!m_decryptCtx)
        return E_FAIL;
    // Big-endian bytes of the modulus size are what OpenSSL takes; the same
    // length makes a byte-wise comparison the numeric one.
    const auto size = static_cast<std::size_t>(m_baseBytes);
    SecureBytes input(size);
    SecureBytes output(size);
    if (!WordsToBigEndian(in, m_keyWords, input.data(), size) ||
        std::memcmp(input.data(), m_baseBigEndian.data(), size) >= 0)
        return E_INVALIDARG;
    std::size_t produced = output.size();
    if (EVP_PKEY_decrypt(m_decryptCtx.get(), output.data(), &produced, input.data(), input.size()) <= 0) {
        ERR_clear_error();
        return E_FAIL;
    }
    BigEndianToWords(output.data(), produced, out, m_keyWords);
    return S_OK;
}

}  // namespace tarvel::component
