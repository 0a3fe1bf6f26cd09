#include "timing/rsa_key_pool.h"

#include <openssl/err.h>

#include <algorithm>

namespace timing {
namespace {

using checks::support::FromBignum;

Bignum NewBignum()
{
    return Bignum(BN_new());
}

int SetBits(const BIGNUM* value)
{
    int count = 0;
    for (int bit = 0; bit < BN_num_bits(value); ++bit)
        count += BN_is_bit_set(value, bit);
    return count;
}

// One key, or false. OpenSSL sets the top two bits of each prime, so the
// product has exactly 2 * primeBits bits.
bool MakeKey(std::size_t words, BN_CTX* bn, RsaKey& key)
{
    const int primeBits = static_cast<int>(16 * words);
    Bignum p = NewBignum(), q = NewBignum(), e = NewBignum(), one = NewBignum();
    Bignum p1 = NewBignum(), q1 = NewBignum(), gcd = NewBignum(), lcm = NewBignum(), phi = NewBignum();
    Bignum n = NewBignum(), d = NewBignum(), dp = NewBignum(), dq = NewBignum(), qinv = NewBignum();
    if (!BN_set_word(e.get(), 65537) || !BN_set_word(one.get(), 1))
        return false;
    for (;;) {
        if (!BN_generate_prime_ex2(p.get(), primeBits, 0, nullptr, nullptr, nullptr, bn) ||
            !BN_generate_prime_ex2(q.get(), primeBits, 0, nullptr, nullptr, nullptr, bn))
            return false;
        if (BN_cmp(p.get(), q.get()) == 0)
            continue;
        BN_sub(p1.get(), p.get(), one.get());
        BN_sub(q1.get(), q.get(), one.get());
        BN_mul(phi.get(), p1.get(), q1.get(), bn);
        BN_gcd(gcd.get(), p1.get(), q1.get(), bn);
        BN_div(lcm.get(), nullptr, phi.get(), gcd.get(), bn);
        // d exists only when e is prime to lcm(p-1, q-1).
        if (BN_mod_inverse(d.get(), e.get(), lcm.get(), bn) && BN_mod_inverse(qinv.get(), q.get(), p.get(), bn))
            break;
        ERR_clear_error();
    }
    if (!BN_mul(n.get(), p.get(), q.get(), bn) || !BN_mod(dp.get(), d.get(), p1.get(), bn) ||
        !BN_mod(dq.get(), d.get(), q1.get(), bn))
        return false;
    const BIGNUM* parts[8] = {n.get(), e.get(), d.get(), p.get(), q.get(), dp.get(), dq.get(), qinv.get()};
    for (std::size_t i = 0; i < 8; ++i)
        key.numbers[i] = FromBignum(parts[i], i == 0 ? words : 0);
    key.words = words;
    key.montN.reset(BN_MONT_CTX_new());
    if (!key.montN || !BN_MONT_CTX_set(key.montN.get(), n.get(), bn))
        return false;
    key.privateWeight = SetBits(d.get());
    key.n = std::move(n);
    key.d = std::move(d);
    key.p = std::move(p);
    return true;
}

}  // namespace

std::vector<RsaKey> MakeRsaKeys(std::size_t words, std::size_t count, std::string& error)
{
    std::vector<RsaKey> keys(count);
    const tarvel::BnCtxPtr bn(BN_CTX_new());
    for (RsaKey& key : keys) {
        if (!bn || !MakeKey(words, bn.get(), key)) {
            error = bench::OpenSslError("making a key of " + std::to_string(words) + " words");
            return {};
        }
        key.pkey = bench::RsaKeyFromNumbers(key.numbers, error);
        if (!key.pkey)
            return {};
        key.privateOperation = std::make_unique<bench::RawRsa>(key.pkey.get(), true);
        if (!key.privateOperation->Ready()) {
            error = bench::OpenSslError("OpenSSL's private operation");
            return {};
        }
    }
    return keys;
}

std::size_t LightestKey(const std::vector<RsaKey>& keys)
{
    const auto lightest = std::min_element(
        keys.begin(), keys.end(), [](const RsaKey& a, const RsaKey& b) { return a.privateWeight < b.privateWeight; });
    return static_cast<std::size_t>(lightest - keys.begin());
}

}  // namespace timing
