#include "timing/rsa_subjects.h"

#include "suites/support.h"

#include <harness/failure_text.h>

namespace timing {
namespace {

using checks::support::BigEndianBytes;
using checks::support::Bytes;

class ComponentRsa final : public Subject {
public:
    ComponentRsa(checks::Context& ctx, IUserRSA& rsa, RsaClasses classes)
        : m_ctx(ctx), m_rsa(rsa), m_classes(std::move(classes)), m_words(classes.Keys().front().words), m_in(m_words),
          m_out(m_words)
    {
    }

    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_classes.Prepare(classes);
        return true;
    }

    bool Setup(std::size_t slot) override
    {
        if (m_classes.Test() == RsaTest::Key) {
            if (!checks::support::SetKey(m_ctx, m_rsa, m_classes.Keys()[m_classes.KeyIndex(slot)].numbers)) {
                m_error = "setting a key through the setters failed";
                return false;
            }
            m_in = m_classes.Input(slot);
            if (!Run())
                return false;
        }
        m_in = m_classes.Input(slot);
        return true;
    }

    bool Run() override
    {
        std::uint32_t outWords = static_cast<std::uint32_t>(m_words);
        const HRESULT hr = m_rsa.Decrypt(m_in.data(), outWords, m_out.data(), &outWords);
        if (SUCCEEDED(hr))
            return true;
        m_error = harness::FailedCallText("IUserRSA::Decrypt", hr);
        return false;
    }

    std::string Error() const override { return m_error; }

private:
    checks::Context& m_ctx;
    IUserRSA& m_rsa;
    RsaClasses m_classes;
    std::size_t m_words;
    Words m_in, m_out;
    std::string m_error;
};

// The state both OpenSSL-based subjects share: the input as OpenSSL takes it.
class OpenSslRsaBase : public Subject {
public:
    explicit OpenSslRsaBase(RsaClasses classes)
        : m_classes(std::move(classes)), m_bytes(4 * m_classes.Keys().front().words), m_out(m_bytes)
    {
    }
    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_classes.Prepare(classes);
        return true;
    }
    std::string Error() const override { return m_error; }

protected:
    // Moves slot's key and input into place; in the key test, makes the
    // first call with the key untimed as the component's subject does.
    bool Select(std::size_t slot)
    {
        m_key = &m_classes.Keys()[m_classes.KeyIndex(slot)];
        m_in = BigEndianBytes(m_classes.Input(slot), m_classes.Keys().front().words);
        return m_classes.Test() != RsaTest::Key || Private();
    }
    bool Private()
    {
        if (m_key->privateOperation->Run(m_in.data(), m_out.data(), m_bytes))
            return true;
        m_error = bench::OpenSslError("the private operation");
        return false;
    }

    RsaClasses m_classes;
    const RsaKey* m_key = nullptr;
    std::size_t m_bytes;
    Bytes m_in, m_out;
    std::string m_error;
};

class ConstantTimeRsa final : public OpenSslRsaBase {
public:
    using OpenSslRsaBase::OpenSslRsaBase;
    bool Setup(std::size_t slot) override { return Select(slot); }
    bool Run() override { return Private(); }
};

// OpenSSL's operation, then a step only inputs above n/2 take.
class UpperHalfRsa final : public OpenSslRsaBase {
public:
    explicit UpperHalfRsa(RsaClasses classes)
        : OpenSslRsaBase(std::move(classes)), m_bn(BN_CTX_new()), m_half(BN_new()), m_scratch(BN_new())
    {
        const RsaKey& key = m_classes.Keys().front();
        BN_rshift1(m_half.get(), key.n.get());
        BN_set_word(m_scratch.get(), 3);
        m_extraSquarings = key.words;  // bits / 32
    }
    bool Setup(std::size_t slot) override
    {
        m_upper = BN_cmp(checks::support::ToBignum(m_classes.Input(slot)).get(), m_half.get()) > 0;
        return Select(slot);
    }
    bool Run() override
    {
        if (!Private())
            return false;
        if (m_upper)
            for (std::size_t i = 0; i < m_extraSquarings; ++i)
                BN_mod_mul_montgomery(m_scratch.get(), m_scratch.get(), m_scratch.get(), m_key->montN.get(),
                                      m_bn.get());
        return true;
    }

private:
    tarvel::BnCtxPtr m_bn;
    Bignum m_half, m_scratch;
    std::size_t m_extraSquarings = 0;
    bool m_upper = false;
};

// Left-to-right square-and-multiply over d: one multiplication per set bit.
class SquareAndMultiply final : public Subject {
public:
    explicit SquareAndMultiply(RsaClasses classes)
        : m_classes(std::move(classes)), m_bn(BN_CTX_new()), m_input(BN_new()), m_inputMont(BN_new()),
          m_result(BN_new())
    {
    }
    bool PrepareBatch(const std::vector<Class>& classes) override
    {
        m_classes.Prepare(classes);
        return true;
    }
    bool Setup(std::size_t slot) override
    {
        m_key = &m_classes.Keys()[m_classes.KeyIndex(slot)];
        m_input = checks::support::ToBignum(m_classes.Input(slot));
        return m_input != nullptr;
    }
    bool Run() override
    {
        BN_MONT_CTX* mont = m_key->montN.get();
        const BIGNUM* d = m_key->d.get();
        if (!BN_to_montgomery(m_inputMont.get(), m_input.get(), mont, m_bn.get()) ||
            !BN_to_montgomery(m_result.get(), BN_value_one(), mont, m_bn.get()))
            return Failed();
        for (int bit = BN_num_bits(d) - 1; bit >= 0; --bit) {
            if (!BN_mod_mul_montgomery(m_result.get(), m_result.get(), m_result.get(), mont, m_bn.get()))
                return Failed();
            if (BN_is_bit_set(d, bit) &&
                !BN_mod_mul_montgomery(m_result.get(), m_result.get(), m_inputMont.get(), mont, m_bn.get()))
                return Failed();
        }
        return BN_from_montgomery(m_result.get(), m_result.get(), mont, m_bn.get()) || Failed();
    }
    std::string Error() const override { return m_error; }

private:
    bool Failed()
    {
        m_error = bench::OpenSslError("the textbook exponentiation");
        return false;
    }

    RsaClasses m_classes;
    const RsaKey* m_key = nullptr;
    tarvel::BnCtxPtr m_bn;
    Bignum m_input, m_inputMont, m_result;
    std::string m_error;
};

}  // namespace

std::unique_ptr<Subject> ComponentRsaSubject(checks::Context& ctx, IUserRSA& rsa, RsaClasses classes)
{
    return std::make_unique<ComponentRsa>(ctx, rsa, std::move(classes));
}

std::unique_ptr<Subject> LeakyRsaSubject(RsaClasses classes)
{
    if (classes.Test() == RsaTest::Key)
        return std::make_unique<SquareAndMultiply>(std::move(classes));
    return std::make_unique<UpperHalfRsa>(std::move(classes));
}

std::unique_ptr<Subject> ConstantTimeRsaSubject(RsaClasses classes)
{
    return std::make_unique<ConstantTimeRsa>(std::move(classes));
}

const char* LeakyRsaDescription(RsaTest test)
{
    if (test == RsaTest::Key)
        return "textbook square-and-multiply over d (a multiplication per set bit)";
    return "OpenSSL's private operation plus bits/32 Montgomery squarings for inputs above n/2";
}

}  // namespace timing
