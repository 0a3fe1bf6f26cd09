#include "timing/rsa_classes.h"

#include "suites/support.h"

namespace timing {

RsaClasses::RsaClasses(RsaTest test, const std::vector<RsaKey>& keys, std::uint64_t testSeed, std::uint64_t streamSeed)
    : m_test(test), m_keys(keys), m_random(testSeed), m_bn(BN_CTX_new())
{
    const RsaKey& key = keys.front();
    switch (test) {
    case RsaTest::FullInput: {
        // n/4 + a random number below n/4: as many words as n.
        Bignum quarter(BN_new());
        BN_rshift(quarter.get(), key.n.get(), 2);
        Bignum value = checks::support::ToBignum(RandomBelow(quarter.get()));
        BN_add(value.get(), value.get(), quarter.get());
        m_fixedInput = checks::support::FromBignum(value.get(), key.words);
        break;
    }
    case RsaTest::InputBelowP: {
        // k p - 1 with k in [q/2, q): as long as n, and p - 1 modulo p. An
        // input p - 1 itself would be half as long as n and faster for every
        // implementation, blinded or not.
        Bignum q(BN_new()), value(BN_new());
        BN_div(q.get(), nullptr, key.n.get(), key.p.get(), m_bn.get());
        Bignum half(BN_new());
        BN_rshift1(half.get(), q.get());
        Bignum k = checks::support::ToBignum(RandomBelow(half.get()));
        BN_add(k.get(), k.get(), half.get());
        BN_mul(value.get(), k.get(), key.p.get(), m_bn.get());
        BN_sub_word(value.get(), 1);
        m_fixedInput = checks::support::FromBignum(value.get(), key.words);
        break;
    }
    case RsaTest::Key:
        m_fixedKey = LightestKey(keys);
        break;
    }
    m_random.seed(streamSeed);
}

Words RsaClasses::RandomBelow(const BIGNUM* bound)
{
    const std::size_t words = m_keys.front().words;
    const auto bytes = checks::support::RandomBytes(m_random, 4 * words + 8);
    Bignum value(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
    BN_mod(value.get(), value.get(), bound, m_bn.get());
    return checks::support::FromBignum(value.get(), words);
}

void RsaClasses::Prepare(const std::vector<Class>& classes)
{
    m_inputs.resize(classes.size());
    m_keyIndices.resize(classes.size());
    for (std::size_t slot = 0; slot < classes.size(); ++slot) {
        if (m_test == RsaTest::Key) {
            // Only the key differs between the classes; the input is new
            // each time in both.
            m_keyIndices[slot] = classes[slot] == kFixed ? m_fixedKey : m_random() % m_keys.size();
            m_inputs[slot] = RandomBelow(m_keys[m_keyIndices[slot]].n.get());
        } else {
            m_keyIndices[slot] = 0;
            m_inputs[slot] = classes[slot] == kFixed ? m_fixedInput : RandomBelow(m_keys.front().n.get());
        }
    }
}

}  // namespace timing
