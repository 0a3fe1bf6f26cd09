// Component calls for known-answer and differential checks, with every
// buffer the component reads ending at a guard page and every buffer it
// writes followed by canaries, so an over-read faults and an overrun is named.
// Each call's status is checked; a failure is reported and gives nullopt.
#pragma once

#include "suites/support.h"

#include <checks/guarded_buffer.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace checks::vectors {

using support::Bytes;
using support::Words;
using Block = std::array<std::uint8_t, 8>;

// One hash object, reused: each HashData starts afresh.
template <class Interface>
class HashProbe {
public:
    HashProbe(Context& ctx, Interface& hash, std::size_t digestBytes, const std::string& interfaceName)
        : m_ctx(ctx), m_hash(hash), m_digest(digestBytes, GuardedBuffer::Use::Output),
          m_hashCall(interfaceName + "::HashData"), m_getCall(interfaceName + "::GetHash")
    {
    }

    // The digest of count bytes at data, hashed in one call; the caller
    // places the bytes (a guarded buffer, a mapping).
    std::optional<Bytes> Digest(const std::uint8_t* data, std::size_t count)
    {
        if (count > std::numeric_limits<std::uint32_t>::max()) {
            m_ctx.Fail(m_hashCall + " takes at most 4 GiB - 1 bytes, not " + std::to_string(count));
            return std::nullopt;
        }
        m_ctx.Calling(m_hashCall);
        if (!CallSucceeded(m_ctx, m_hash.HashData(data, static_cast<std::uint32_t>(count)), m_hashCall))
            return std::nullopt;
        m_digest.Fill(GuardedBuffer::kFillByte);
        m_ctx.Calling(m_getCall);
        if (!CallSucceeded(m_ctx, m_hash.GetHash(m_digest.Bytes()), m_getCall))
            return std::nullopt;
        if (const std::string damage = m_digest.CanaryDamage(); !damage.empty()) {
            m_ctx.Fail(m_getCall + " " + damage);
            return std::nullopt;
        }
        return Bytes(m_digest.Bytes(), m_digest.Bytes() + m_digest.Size());
    }

    // The digest of message, copied first into a buffer that ends at a guard
    // page (kept while messages of the same length follow).
    std::optional<Bytes> Digest(const Bytes& message)
    {
        if (!m_input || m_input->Size() != message.size())
            m_input = std::make_unique<GuardedBuffer>(message.size(), GuardedBuffer::Use::Input);
        std::copy(message.begin(), message.end(), m_input->Bytes());
        return Digest(m_input->Bytes(), message.size());
    }

private:
    Context& m_ctx;
    Interface& m_hash;
    GuardedBuffer m_digest;
    std::unique_ptr<GuardedBuffer> m_input;
    std::string m_hashCall;
    std::string m_getCall;
};

// One DES object; keys and blocks are the algorithm's 8 bytes.
class DesProbe {
public:
    DesProbe(Context& ctx, IUserDES& des);

    bool SetKey(const Block& key);
    // The block encrypted or decrypted in place under the last key set.
    std::optional<Block> Crypt(const Block& block, bool encrypt);

private:
    Context& m_ctx;
    IUserDES& m_des;
    GuardedBuffer m_key;
    GuardedBuffer m_block;
};

// The eight numbers of a key through the setters, each from its own guarded
// buffer.
bool SetKeyGuarded(Context& ctx, IUserRSA& rsa, const std::array<Words, 8>& numbers);
// Raw RSA on exactly in.size() words; the result is padded to that length.
std::optional<Words> GuardedRsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in);
// The same for a caller that judges a failure status itself (a refusal may
// be the component's right): the status lands in status, unreported; a
// damaged canary or an impossible length still fails the check.
std::optional<Words> GuardedRsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in, HRESULT& status);

}  // namespace checks::vectors
