#include "fake_des.h"

#include <algorithm>

namespace fake {

HRESULT FakeDes::SetKey(const std::uint32_t* key)
{
    const auto recordArgs = [&](CallRecorder& call) { call.Arg("key", FormatWords(key, 2)); };
    return RecordedCall(*this, "SetKey", recordArgs, [&](CallRecorder&) {
        if (!key)
            return E_POINTER;
        m_key = std::array<std::uint32_t, 2>{key[0], key[1]};
        return S_OK;
    });
}

HRESULT FakeDes::GetKey(std::uint32_t* key)
{
    return RecordedCall(*this, "GetKey", [&](CallRecorder& call) {
        if (!key)
            return E_POINTER;
        if (!m_key)
            return E_FAIL;
        std::copy(m_key->begin(), m_key->end(), key);
        call.Out("key", FormatWords(key, 2));
        return S_OK;
    });
}

HRESULT FakeDes::Transform(const char* method, std::uint32_t* block)
{
    const auto recordArgs = [&](CallRecorder& call) { call.Arg("block", FormatWords(block, 2)); };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder& call) {
        if (!block)
            return E_POINTER;
        if (!m_key)
            return E_FAIL;
        block[0] ^= (*m_key)[0];
        block[1] ^= (*m_key)[1];
        call.Out("block", FormatWords(block, 2));
        return S_OK;
    });
}

HRESULT FakeDes::Encrypt(std::uint32_t* block)
{
    return Transform("Encrypt", block);
}

HRESULT FakeDes::Decrypt(std::uint32_t* block)
{
    return Transform("Decrypt", block);
}

}  // namespace fake
