#include "suites/vectors_probes.h"

#include <algorithm>
#include <cstring>

namespace checks::vectors {

using support::kKeyParts;

DesProbe::DesProbe(Context& ctx, IUserDES& des)
    : m_ctx(ctx), m_des(des), m_key(8, GuardedBuffer::Use::Input), m_block(8, GuardedBuffer::Use::Input)
{
}

bool DesProbe::SetKey(const Block& key)
{
    // Byte 0 of the algorithm is the low byte of word 0: memory order.
    std::memcpy(m_key.Bytes(), key.data(), key.size());
    m_ctx.Calling("IUserDES::SetKey");
    return CallSucceeded(m_ctx, m_des.SetKey(m_key.Words()), "IUserDES::SetKey");
}

std::optional<Block> DesProbe::Crypt(const Block& block, bool encrypt)
{
    const char* call = encrypt ? "IUserDES::Encrypt" : "IUserDES::Decrypt";
    std::memcpy(m_block.Bytes(), block.data(), block.size());
    m_ctx.Calling(call);
    const HRESULT hr = encrypt ? m_des.Encrypt(m_block.Words()) : m_des.Decrypt(m_block.Words());
    if (!CallSucceeded(m_ctx, hr, call))
        return std::nullopt;
    Block out;
    std::memcpy(out.data(), m_block.Bytes(), out.size());
    return out;
}

bool SetKeyGuarded(Context& ctx, IUserRSA& rsa, const std::array<Words, 8>& numbers)
{
    for (std::size_t i = 0; i < kKeyParts.size(); ++i) {
        const Words& number = numbers[i];
        GuardedBuffer buffer(4 * number.size(), GuardedBuffer::Use::Input);
        std::copy(number.begin(), number.end(), buffer.Words());
        const std::string call = std::string("IUserRSA::") + kKeyParts[i].setter;
        ctx.Calling(call);
        const HRESULT hr = (rsa.*kKeyParts[i].set)(buffer.Words(), static_cast<std::uint32_t>(number.size()));
        if (!CallSucceeded(ctx, hr, call))
            return false;
    }
    return true;
}

std::optional<Words> GuardedRsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in, HRESULT& status)
{
    const std::string call = encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt";
    const auto words = static_cast<std::uint32_t>(in.size());
    GuardedBuffer input(4 * in.size(), GuardedBuffer::Use::Input);
    std::copy(in.begin(), in.end(), input.Words());
    GuardedBuffer output(4 * in.size(), GuardedBuffer::Use::Output);
    std::uint32_t outWords = words;
    ctx.Calling(call);
    status = encrypt ? rsa.Encrypt(input.Words(), words, output.Words(), &outWords)
                     : rsa.Decrypt(input.Words(), words, output.Words(), &outWords);
    if (const std::string damage = output.CanaryDamage(); !damage.empty()) {
        ctx.Fail(call + " " + damage);
        return std::nullopt;
    }
    if (FAILED(status))
        return std::nullopt;
    if (outWords > words) {
        ctx.Fail(call + " reports " + std::to_string(outWords) + " words written into a buffer of " +
                 std::to_string(words));
        return std::nullopt;
    }
    // Leading zero words carry no value; compare numbers, not spellings.
    Words out(output.Words(), output.Words() + outWords);
    out.resize(in.size(), 0);
    return out;
}

std::optional<Words> GuardedRsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in)
{
    HRESULT status = S_OK;
    auto out = GuardedRsaCall(ctx, rsa, encrypt, in, status);
    if (FAILED(status))
        CallSucceeded(ctx, status, encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt");
    return out;
}

}  // namespace checks::vectors
