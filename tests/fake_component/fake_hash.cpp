#include "fake_hash.h"

#include "fake_component_control.h"

#include <algorithm>

namespace fake {

namespace {

// Longer inputs are recorded by their first bytes and their checksum only.
constexpr std::uint32_t kRecordedBytes = 64;

}  // namespace

template <class Interface>
HRESULT FakeHash<Interface>::GetHashSize(std::uint32_t* bytes)
{
    return RecordedCall(*this, "GetHashSize",
                        [&](CallRecorder& call) { return AnswerWord(call, "bytes", bytes, m_digestBytes); });
}

template <class Interface>
HRESULT FakeHash<Interface>::HashData(const std::uint8_t* data, std::uint32_t bytes)
{
    const std::uint32_t checksum = data ? FakeChecksum(data, bytes) : FakeChecksum(nullptr, 0);
    const auto recordArgs = [&](CallRecorder& call) {
        call.Arg("bytes", bytes);
        call.Arg("data", FormatBytes(data, std::min(bytes, kRecordedBytes)));
        call.Arg("checksum", FormatWords(&checksum, 1));
    };
    return RecordedCall(*this, "HashData", recordArgs, [&](CallRecorder&) {
        if (!data && bytes > 0)
            return E_POINTER;
        m_hashed = true;
        m_bytes = bytes;
        m_checksum = checksum;
        return S_OK;
    });
}

template <class Interface>
HRESULT FakeHash<Interface>::GetHash(std::uint8_t* digest)
{
    return RecordedCall(*this, "GetHash", [&](CallRecorder& call) {
        if (!digest)
            return E_POINTER;
        if (!m_hashed)
            return E_FAIL;
        for (std::uint32_t i = 0; i < m_digestBytes; ++i)
            digest[i] = FakeDigestByte(i, m_bytes, m_checksum);
        call.Out("digest", FormatBytes(digest, m_digestBytes));
        return S_OK;
    });
}

template class FakeHash<IHashSHA1>;
template class FakeHash<IHashMD5>;

}  // namespace fake
