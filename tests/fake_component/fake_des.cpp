#include "fake_des.h"

namespace fake {

HRESULT FakeDes::SetKey(const std::uint32_t* key)
{
    return Guarded([&] {
        CallRecorder call(*this, "SetKey");
        call.Arg("key", FormatWords(key, 2));
        if (auto hr = call.Injected())
            return call.Return(*hr);
        if (!key)
            return call.Return(E_POINTER);
        m_key = std::array<std::uint32_t, 2>{key[0], key[1]};
        return call.Return(S_OK);
    });
}

HRESULT FakeDes::GetKey(std::uint32_t* key)
{
    return Guarded([&] {
        CallRecorder call(*this, "GetKey");
        if (auto hr = call.Injected())
            return call.Return(*hr);
        if (!key)
            return call.Return(E_POINTER);
        if (!m_key)
            return call.Return(E_FAIL);
        key[0] = (*m_key)[0];
        key[1] = (*m_key)[1];
        call.Out("key", FormatWords(key, 2));
        return call.Return(S_OK);
    });
}

HRESULT FakeDes::Transform(const char* method, std::uint32_t* block)
{
    return Guarded([&] {
        CallRecorder call(*this, method);
        call.Arg("block", FormatWords(block, 2));
        if (auto hr = call.Injected())
            return call.Return(*hr);
        if (!block)
            return call.Return(E_POINTER);
        if (!m_key)
            return call.Return(E_FAIL);
        block[0] ^= (*m_key)[0];
        block[1] ^= (*m_key)[1];
        call.Out("block", FormatWords(block, 2));
        return call.Return(S_OK);
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
