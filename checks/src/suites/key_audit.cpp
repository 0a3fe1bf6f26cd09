#include "suites/key_audit.h"

#include "suites/support.h"

namespace checks::support {
namespace {

// A number as the reports show it, without the closing blank, to sit inside
// a sentence.
std::string Text(const Words& number)
{
    std::string text = ShownNumber(number);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string Shown(const BIGNUM* value)
{
    return Text(FromBignum(value));
}

// "the d mod (p-1) (GetKeyPart6)"
std::string PartName(std::size_t part)
{
    return std::string("the ") + kKeyParts[part].name + " (" + kKeyParts[part].getter + ")";
}

}  // namespace

std::vector<std::string> AuditKeyNumbers(const std::array<Words, 8>& key, std::uint32_t keyWords)
{
    std::vector<std::string> problems;
    BignumContext bn(BN_CTX_new());
    std::array<Bignum, 8> v;
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = ToBignum(key[i]);
    const BIGNUM* n = v[kBase].get();
    const BIGNUM* e = v[kPublic].get();
    const BIGNUM* d = v[kPrivate].get();
    const BIGNUM* p = v[kPrimeP].get();
    const BIGNUM* q = v[kPrimeQ].get();

    const int bits = static_cast<int>(32 * keyWords);
    if (BN_is_zero(n))
        problems.push_back("the base n is 0 (no words)");
    else if (keyWords > 0 && BN_num_bits(n) != bits)
        problems.push_back(Expected("the base of a " + std::to_string(keyWords) + "-word key",
                                    std::to_string(bits) + " bits",
                                    std::to_string(BN_num_bits(n)) + " bits (" + Text(key[kBase]) + ")"));
    if (BN_is_one(e))
        problems.push_back("e = 1: \"encryption\" leaves every number as it is, the key hides nothing");
    else if (BN_is_zero(e))
        problems.push_back("e = 0: there is no public exponent");
    else if (!BN_is_odd(e))
        problems.push_back("e = " + Shown(e) + " is even: it has no inverse modulo λ(n), so no d can undo it");

    const bool same = BN_cmp(p, q) == 0;
    if (same)
        problems.push_back("p = q (" + Text(key[kPrimeP]) +
                           "): n = p² is no RSA base, and q has no inverse mod p for the coefficient");
    bool primes = !same;
    for (const auto& [prime, name, part] : {std::tuple{p, "p", kPrimeP}, std::tuple{q, "q", kPrimeQ}}) {
        if (same && part == kPrimeQ)
            break;
        if (BN_check_prime(prime, bn.get(), nullptr) != 1) {
            problems.push_back(std::string(name) + " is not prime: " + Text(key[part]));
            primes = false;
        }
    }
    Bignum product(BN_new());
    BN_mul(product.get(), p, q, bn.get());
    if (BN_cmp(product.get(), n) != 0) {
        problems.push_back("p·q ≠ n: p·q = " + Shown(product.get()) + ", n = " + Text(key[kBase]));
        primes = false;
    }
    if (!primes)
        return problems;  // λ(n) and the CRT parts mean nothing without the primes

    Bignum p1(BN_dup(p)), q1(BN_dup(q)), gcd(BN_new()), phi(BN_new()), lambda(BN_new());
    BN_sub_word(p1.get(), 1);
    BN_sub_word(q1.get(), 1);
    BN_gcd(gcd.get(), p1.get(), q1.get(), bn.get());
    BN_mul(phi.get(), p1.get(), q1.get(), bn.get());
    BN_div(lambda.get(), nullptr, phi.get(), gcd.get(), bn.get());
    Bignum common(BN_new());
    BN_gcd(common.get(), e, lambda.get(), bn.get());
    if (!BN_is_one(e) && !BN_is_one(common.get())) {
        problems.push_back("e = " + Shown(e) + " shares the factor " + Shown(common.get()) +
                           " with λ(n): no private exponent undoes it");
        return problems;
    }
    Bignum ed(BN_new());
    BN_mod_mul(ed.get(), e, d, lambda.get(), bn.get());
    if (!BN_is_one(ed.get()))
        problems.push_back("d is not the inverse of e modulo λ(n): e·d mod λ(n) = " + Shown(ed.get()) +
                           ", d = " + Text(key[kPrivate]));

    for (const auto& [modulus, part] : {std::pair{p1.get(), kExponentP}, std::pair{q1.get(), kExponentQ}}) {
        Bignum want(BN_new());
        BN_mod(want.get(), d, modulus, bn.get());
        if (BN_cmp(want.get(), v[part].get()) != 0)
            problems.push_back(Expected(PartName(part), Shown(want.get()), Text(key[part])));
    }
    Bignum inverse(BN_mod_inverse(nullptr, q, p, bn.get()));
    if (!inverse)
        problems.push_back("q has no inverse mod p, so no coefficient exists");
    else if (BN_cmp(inverse.get(), v[kCoefficient].get()) != 0)
        problems.push_back(Expected(PartName(kCoefficient), Shown(inverse.get()), Text(key[kCoefficient])));
    return problems;
}

}  // namespace checks::support
