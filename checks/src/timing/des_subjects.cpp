// OpenSSL 3 keeps single DES only in its deprecated low-level functions;
// the controls use them as the bundled component does.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "timing/des_subjects.h"

#include "timing/constant_time_des.h"

#include <harness/failure_text.h>

#include <openssl/des.h>

#include <array>
#include <bit>
#include <cstring>
#include <random>
#include <vector>

namespace timing {
namespace {

using Block = std::array<std::uint8_t, 8>;

constexpr Block kWeakKey = {1, 1, 1, 1, 1, 1, 1, 1};
constexpr Block kZeroBlock = {};

Block RandomBlock(std::mt19937_64& random)
{
    Block block;
    const std::uint64_t bits = random();
    std::memcpy(block.data(), &bits, block.size());
    return block;
}

// Random keys get odd parity like the weak key, so a component that checks
// parity treats both classes alike.
Block RandomKey(std::mt19937_64& random)
{
    Block key = RandomBlock(random);
    for (std::uint8_t& byte : key)
        byte = static_cast<std::uint8_t>((byte & 0xfe) | (std::popcount(static_cast<unsigned>(byte & 0xfe)) % 2 == 0));
    return key;
}

// Keys and blocks of one batch, made before any is timed.
class DesClasses {
public:
    DesClasses(DesTest test, std::uint64_t testSeed, std::uint64_t streamSeed) : m_test(test), m_random(streamSeed)
    {
        Reseed(testSeed);
    }
    // The block test's key, the same for the three subjects of one seed.
    void Reseed(std::uint64_t testSeed)
    {
        std::mt19937_64 shared(testSeed);
        m_blockTestKey = RandomKey(shared);
    }
    void Prepare(const std::vector<Class>& classes)
    {
        m_keys.resize(classes.size());
        m_blocks.resize(classes.size());
        m_warmKeys.resize(classes.size());
        m_warmBlocks.resize(classes.size());
        for (std::size_t slot = 0; slot < classes.size(); ++slot) {
            const bool fixed = classes[slot] == kFixed;
            if (m_test == DesTest::Block) {
                m_keys[slot] = m_blockTestKey;
                m_blocks[slot] = fixed ? kZeroBlock : RandomBlock(m_random);
            } else {
                m_keys[slot] = fixed ? kWeakKey : RandomKey(m_random);
                m_blocks[slot] = RandomBlock(m_random);
            }
            m_warmKeys[slot] = m_test == DesTest::Block ? m_blockTestKey : RandomKey(m_random);
            m_warmBlocks[slot] = RandomBlock(m_random);
        }
    }
    DesTest Test() const { return m_test; }
    const Block& Key(std::size_t slot) const { return m_keys[slot]; }
    const Block& BlockAt(std::size_t slot) const { return m_blocks[slot]; }
    // The untimed call before each timed one: a random key (the block
    // test's own key) and a random block, whatever the slot's class.
    const Block& WarmKey(std::size_t slot) const { return m_warmKeys[slot]; }
    const Block& WarmBlock(std::size_t slot) const { return m_warmBlocks[slot]; }

private:
    DesTest m_test;
    std::mt19937_64 m_random;
    Block m_blockTestKey{};
    std::vector<Block> m_keys, m_blocks, m_warmKeys, m_warmBlocks;
};

class ComponentDes final : public Subject {
public:
    ComponentDes(IUserDES& des, DesClasses classes) : m_des(des), m_classes(std::move(classes)) {}

    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_classes.Prepare(classes);
        return true;
    }
    bool Setup(std::size_t slot) override
    {
        // The warming call: SetKey and Encrypt on random values, untimed.
        std::memcpy(m_key.data(), m_classes.WarmKey(slot).data(), 8);
        std::memcpy(m_block.data(), m_classes.WarmBlock(slot).data(), 8);
        if ((m_classes.Test() != DesTest::Block || !m_keySet) && !Call(m_des.SetKey(m_key.data()), "IUserDES::SetKey"))
            return false;
        m_keySet = true;
        if (!Call(m_des.Encrypt(m_block.data()), "IUserDES::Encrypt"))
            return false;
        std::memcpy(m_key.data(), m_classes.Key(slot).data(), 8);
        std::memcpy(m_block.data(), m_classes.BlockAt(slot).data(), 8);
        // The block test's key stays set; the key-encrypt test sets each
        // key here, untimed.
        return m_classes.Test() != DesTest::KeyEncrypt || Call(m_des.SetKey(m_key.data()), "IUserDES::SetKey");
    }
    bool Run() override
    {
        if (m_classes.Test() == DesTest::KeySchedule && !Call(m_des.SetKey(m_key.data()), "IUserDES::SetKey"))
            return false;
        return Call(m_des.Encrypt(m_block.data()), "IUserDES::Encrypt");
    }
    std::string Error() const override { return m_error; }
    void Reseed(std::uint64_t testSeed) override
    {
        m_classes.Reseed(testSeed);
        m_keySet = false;
    }

private:
    bool Call(HRESULT hr, const char* call)
    {
        if (SUCCEEDED(hr))
            return true;
        m_error = harness::FailedCallText(call, hr);
        return false;
    }

    IUserDES& m_des;
    DesClasses m_classes;
    std::array<std::uint32_t, 2> m_key{}, m_block{};
    bool m_keySet = false;
    std::string m_error;
};

// The controls: OpenSSL's DES with a planted leak, or the constant-time DES.
class ControlDes final : public Subject {
public:
    ControlDes(DesClasses classes, bool leaky) : m_classes(std::move(classes)), m_leaky(leaky) {}

    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_classes.Prepare(classes);
        return true;
    }
    bool Setup(std::size_t slot) override
    {
        // The warming call, as the component's subject makes it.
        std::memcpy(m_key, m_classes.WarmKey(slot).data(), 8);
        std::memcpy(m_block, m_classes.WarmBlock(slot).data(), 8);
        SetKey();
        Encrypt();
        std::memcpy(m_key, m_classes.Key(slot).data(), 8);
        std::memcpy(m_block, m_classes.BlockAt(slot).data(), 8);
        // The block test's key is the warming key, already set.
        if (m_classes.Test() == DesTest::KeyEncrypt)
            SetKey();
        return true;
    }
    bool Run() override
    {
        if (m_classes.Test() == DesTest::KeySchedule)
            SetKey();
        Encrypt();
        if (!m_leaky)
            return true;
        // The leak: a loop as long as the set bits of the key's and the
        // block's first bytes, a few percent of the call.
        const unsigned steps =
            std::popcount(static_cast<unsigned>(m_keyHead)) + std::popcount(static_cast<unsigned>(m_block[0]));
        for (unsigned i = 0; i < steps; ++i)
            m_sink = m_sink + 1;
        return true;
    }
    std::string Error() const override { return {}; }
    void Reseed(std::uint64_t testSeed) override { m_classes.Reseed(testSeed); }

private:
    void Encrypt()
    {
        if (m_leaky)
            DES_ecb_encrypt(&m_block, &m_out, &m_schedule, DES_ENCRYPT);
        else
            m_constantTime.Encrypt(m_block, m_out);
    }
    void SetKey()
    {
        if (m_leaky)
            DES_set_key_unchecked(&m_key, &m_schedule);
        else
            m_constantTime.SetKey(m_key);
        m_keyHead = static_cast<std::uint16_t>(m_key[0] | (m_key[1] << 8));
    }

    DesClasses m_classes;
    bool m_leaky;
    DES_cblock m_key{}, m_block{}, m_out{};
    DES_key_schedule m_schedule{};
    ConstantTimeDes m_constantTime;
    std::uint16_t m_keyHead = 0;
    volatile unsigned m_sink = 0;
};

}  // namespace

std::unique_ptr<Subject> ComponentDesSubject(IUserDES& des, DesTest test, std::uint64_t testSeed,
                                             std::uint64_t streamSeed)
{
    return std::make_unique<ComponentDes>(des, DesClasses(test, testSeed, streamSeed));
}

std::unique_ptr<Subject> LeakyDesSubject(DesTest test, std::uint64_t testSeed, std::uint64_t streamSeed)
{
    return std::make_unique<ControlDes>(DesClasses(test, testSeed, streamSeed), true);
}

std::unique_ptr<Subject> ConstantTimeDesSubject(DesTest test, std::uint64_t testSeed, std::uint64_t streamSeed)
{
    return std::make_unique<ControlDes>(DesClasses(test, testSeed, streamSeed), false);
}

}  // namespace timing
