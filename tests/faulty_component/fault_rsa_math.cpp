#include "fault_rsa_math.h"

#include <component/openssl_ptr.h>

#include <openssl/bn.h>

#include <vector>

namespace faulty {
namespace {

using Bignum = tarvel::OpenSslPtr<BIGNUM, BN_free>;

Bignum FromWords(const std::uint32_t* words, std::uint32_t count)
{
    std::vector<unsigned char> bytes(4 * std::size_t{count});
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < 4; ++k)
            bytes[4 * i + k] = static_cast<unsigned char>(words[i] >> (8 * k));
    return Bignum(BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

Bignum Number(IUserRSA& inner, HRESULT (IUserRSA::*get)(std::uint32_t*, std::uint32_t*))
{
    std::uint32_t count = 0;
    if (FAILED((inner.*get)(nullptr, &count)) || count == 0)
        return {};
    std::vector<std::uint32_t> words(count);
    if (FAILED((inner.*get)(words.data(), &count)))
        return {};
    return FromWords(words.data(), count);
}

HRESULT ToWords(const BIGNUM* value, std::uint32_t* out, std::uint32_t* outWords, std::uint32_t keyWords)
{
    if (*outWords < keyWords)
        return E_INVALIDARG;
    std::vector<unsigned char> bytes(4 * std::size_t{keyWords});
    if (BN_bn2lebinpad(value, bytes.data(), static_cast<int>(bytes.size())) < 0)
        return E_FAIL;
    for (std::size_t i = 0; i < keyWords; ++i)
        out[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 | std::uint32_t(bytes[4 * i + 3]) << 24;
    *outWords = keyWords;
    return S_OK;
}

}  // namespace

HRESULT EncryptWithFixedExponent(IUserRSA& inner, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                                 std::uint32_t* outWords)
{
    std::uint32_t keyWords = 0;
    const Bignum n = Number(inner, &IUserRSA::GetBase);
    if (!in || !out || !outWords || !n || FAILED(inner.GetKeyLength(&keyWords)) || inWords != keyWords)
        return inner.Encrypt(in, inWords, out, outWords);
    const Bignum m = FromWords(in, inWords);
    Bignum e(BN_new()), c(BN_new());
    tarvel::BnCtxPtr bn(BN_CTX_new());
    if (BN_cmp(m.get(), n.get()) >= 0 || !BN_set_word(e.get(), 65537) ||
        !BN_mod_exp(c.get(), m.get(), e.get(), n.get(), bn.get()))
        return E_INVALIDARG;
    return ToWords(c.get(), out, outWords, keyWords);
}

HRESULT DecryptTrustingCrt(IUserRSA& inner, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                           std::uint32_t* outWords)
{
    std::uint32_t keyWords = 0;
    const Bignum p = Number(inner, &IUserRSA::GetKeyPart4), q = Number(inner, &IUserRSA::GetKeyPart5);
    const Bignum dp = Number(inner, &IUserRSA::GetKeyPart6), dq = Number(inner, &IUserRSA::GetKeyPart7);
    const Bignum qinv = Number(inner, &IUserRSA::GetKeyPart8);
    if (!in || !out || !outWords || !p || !q || !dp || !dq || !qinv || FAILED(inner.GetKeyLength(&keyWords)) ||
        inWords != keyWords)
        return inner.Decrypt(in, inWords, out, outWords);
    const Bignum c = FromWords(in, inWords);
    Bignum m1(BN_new()), m2(BN_new()), h(BN_new()), m(BN_new());
    tarvel::BnCtxPtr bn(BN_CTX_new());
    // m = m2 + q * (qinv * (m1 - m2) mod p)
    BN_mod_exp(m1.get(), c.get(), dp.get(), p.get(), bn.get());
    BN_mod_exp(m2.get(), c.get(), dq.get(), q.get(), bn.get());
    BN_mod_sub(h.get(), m1.get(), m2.get(), p.get(), bn.get());
    BN_mod_mul(h.get(), h.get(), qinv.get(), p.get(), bn.get());
    BN_mul(m.get(), h.get(), q.get(), bn.get());
    BN_add(m.get(), m.get(), m2.get());
    return ToWords(m.get(), out, outWords, keyWords);
}

}  // namespace faulty
