// IHashSHA1 and IHashMD5 share one shape; only the digest size differs.
#pragma once

#include "object.h"

template <typename Interface, const IID& kInterfaceId, std::uint32_t DigestBytes>
class Hash : public Object<Interface, kInterfaceId> {
public:
    HRESULT GetHashSize(std::uint32_t* bytes) override
    {
        if (bytes == nullptr)
            return E_POINTER;
        *bytes = DigestBytes;
        return S_OK;
    }
    // The digest of exactly these bytes; each call starts afresh.
    HRESULT HashData(const std::uint8_t*, std::uint32_t) override { return E_NOTIMPL; }
    // Writes DigestBytes bytes; fails before any HashData.
    HRESULT GetHash(std::uint8_t*) override { return E_NOTIMPL; }
};

class HashSha1 final : public Hash<IHashSHA1, IID_IHashSHA1, kSha1DigestBytes> {};

class HashMd5 final : public Hash<IHashMD5, IID_IHashMD5, kMd5DigestBytes> {};
