#include "suites/seeded_keys.h"

#include "suites/support.h"

#include <utility>

namespace checks::support {
namespace {

// A prime of exactly bits bits (the top two set, so two of them make a base
// of twice the bits) for which e is invertible modulo prime - 1.
Bignum SeededPrime(std::mt19937_64& random, int bits, const BIGNUM* e, BN_CTX* bn)
{
    Bignum candidate(BN_new());
    Bignum less(BN_new());
    Bignum gcd(BN_new());
    if (!candidate || !less || !gcd)
        return {};
    for (;;) {
        const Bytes bytes = RandomBytes(random, static_cast<std::size_t>(bits + 7) / 8);
        BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), candidate.get());
        BN_mask_bits(candidate.get(), bits);
        BN_set_bit(candidate.get(), bits - 1);
        BN_set_bit(candidate.get(), bits - 2);
        BN_set_bit(candidate.get(), 0);
        // Walk up the odd numbers; start again should the walk leave the length.
        while (BN_num_bits(candidate.get()) == bits) {
            BN_copy(less.get(), candidate.get());
            BN_sub_word(less.get(), 1);
            BN_gcd(gcd.get(), e, less.get(), bn);
            if (BN_is_one(gcd.get()) && BN_check_prime(candidate.get(), bn, nullptr) == 1)
                return candidate;
            BN_add_word(candidate.get(), 2);
        }
    }
}

}  // namespace

std::optional<std::array<Words, 8>> SeededKey(std::mt19937_64& random, std::uint32_t keyWords, std::uint64_t eValue,
                                              PrimeOrder order)
{
    if (eValue % 2 == 0 || keyWords == 0)
        return std::nullopt;
    BignumContext bn(BN_CTX_new());
    Bignum e(BN_new());
    if (!bn || !e || !BN_set_word(e.get(), eValue))
        return std::nullopt;
    const int halfBits = static_cast<int>(16 * keyWords);
    Bignum p = SeededPrime(random, halfBits, e.get(), bn.get());
    Bignum q = SeededPrime(random, halfBits, e.get(), bn.get());
    while (p && q && BN_cmp(p.get(), q.get()) == 0)
        q = SeededPrime(random, halfBits, e.get(), bn.get());
    if (!p || !q)
        return std::nullopt;
    if ((BN_cmp(p.get(), q.get()) < 0) != (order == PrimeOrder::PBelowQ))
        std::swap(p, q);

    Bignum n(BN_new()), p1(BN_dup(p.get())), q1(BN_dup(q.get())), gcd(BN_new()), phi(BN_new()), lambda(BN_new());
    Bignum dp(BN_new()), dq(BN_new());
    if (!n || !p1 || !q1 || !gcd || !phi || !lambda || !dp || !dq)
        return std::nullopt;
    BN_mul(n.get(), p.get(), q.get(), bn.get());
    BN_sub_word(p1.get(), 1);
    BN_sub_word(q1.get(), 1);
    BN_gcd(gcd.get(), p1.get(), q1.get(), bn.get());
    BN_mul(phi.get(), p1.get(), q1.get(), bn.get());
    BN_div(lambda.get(), nullptr, phi.get(), gcd.get(), bn.get());
    Bignum d(BN_mod_inverse(nullptr, e.get(), lambda.get(), bn.get()));
    Bignum qinv(BN_mod_inverse(nullptr, q.get(), p.get(), bn.get()));
    if (!d || !qinv)
        return std::nullopt;
    BN_mod(dp.get(), d.get(), p1.get(), bn.get());
    BN_mod(dq.get(), d.get(), q1.get(), bn.get());
    return std::array<Words, 8>{FromBignum(n.get(), keyWords), FromBignum(e.get()),   FromBignum(d.get()),
                                FromBignum(p.get()),           FromBignum(q.get()),   FromBignum(dp.get()),
                                FromBignum(dq.get()),          FromBignum(qinv.get())};
}

}  // namespace checks::support
