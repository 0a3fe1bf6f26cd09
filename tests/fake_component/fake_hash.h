#pragma once

#include "fake_object.h"

#include <tarvel/crypto.h>

namespace fake {

// Stand-in for the SHA-1 and MD5 objects: the digest is a fixed function of
// the byte count and a checksum of the data (see FakeDigestByte).
template <class Interface>
class FakeHash final : public FakeObject<Interface> {
public:
    FakeHash(const char* interfaceName, const IID& iid, std::uint32_t digestBytes)
        : FakeObject<Interface>(interfaceName, iid), m_digestBytes(digestBytes)
    {
    }

    HRESULT GetHashSize(std::uint32_t* bytes) override;
    HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) override;
    HRESULT GetHash(std::uint8_t* digest) override;

private:
    std::uint32_t m_digestBytes;
    bool m_hashed = false;
    std::uint32_t m_bytes = 0;
    std::uint32_t m_checksum = 0;
};

using FakeSha1 = FakeHash<IHashSHA1>;
using FakeMd5 = FakeHash<IHashMD5>;

}  // namespace fake
