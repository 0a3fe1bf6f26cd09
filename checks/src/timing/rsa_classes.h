// The two classes of an RSA timing test, as word arrays, the same for every
// subject. The fixed input of the input tests is a full-size number: a small
// one (0, 1, one word) makes every implementation faster, blinded ones too,
// and only shows that arithmetic on short numbers is cheap.
#pragma once

#include "timing/rsa_key_pool.h"
#include "timing/welch.h"

#include <cstdint>
#include <random>
#include <vector>

namespace timing {

enum class RsaTest {
    FullInput,    // a fixed full-size input in [n/4, n/2) vs random inputs below n
    InputBelowP,  // p - 1, where a CRT without blinding skips its reductions, vs random
    Key,          // the pool's key with the lightest d vs a random key of the pool
};

class RsaClasses {
public:
    // keys: one key for the input tests, the pool for the key test. The
    // fixed input follows from testSeed, so every subject of a test gets the
    // same one; the random inputs and the class of each measurement come
    // from the subject's own stream.
    RsaClasses(RsaTest test, const std::vector<RsaKey>& keys, std::uint64_t testSeed, std::uint64_t streamSeed);

    // Draws the inputs (and keys) of a batch; the random class's are new
    // every measurement.
    void Prepare(const std::vector<Class>& classes);
    const Words& Input(std::size_t slot) const { return m_inputs[slot]; }
    std::size_t KeyIndex(std::size_t slot) const { return m_keyIndices[slot]; }

    RsaTest Test() const { return m_test; }
    const std::vector<RsaKey>& Keys() const { return m_keys; }
    std::size_t FixedKey() const { return m_fixedKey; }

private:
    Words RandomBelow(const BIGNUM* bound);

    RsaTest m_test;
    const std::vector<RsaKey>& m_keys;
    std::size_t m_fixedKey = 0;
    Words m_fixedInput;
    std::mt19937_64 m_random;
    tarvel::BnCtxPtr m_bn;
    std::vector<Words> m_inputs;
    std::vector<std::size_t> m_keyIndices;
};

}  // namespace timing
