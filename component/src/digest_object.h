// The hash classes: each HashData call digests exactly the bytes given,
// GetHash hands out the digest of the last call, and fails when that call was
// refused or failed.
#pragma once

#include "com_object.h"
#include "openssl_handles.h"

#include <tarvel/crypto.h>

#include <array>

namespace tarvel::component {

template <class Interface, const IID& kInterfaceId>
class DigestObject : public ComObject<Interface, kInterfaceId> {
public:
    // algorithm: an OpenSSL digest name. Throws when it is not available.
    explicit DigestObject(const char* algorithm);

    HRESULT GetHashSize(std::uint32_t* bytes) override;
    HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) override;
    HRESULT GetHash(std::uint8_t* digest) override;

private:
    MdPtr m_algorithm;
    MdCtxPtr m_context;
    std::array<std::uint8_t, EVP_MAX_MD_SIZE> m_digest{};
    std::uint32_t m_size = 0;
    bool m_hasDigest = false;
};

class HashSha1 final : public DigestObject<IHashSHA1, IID_IHashSHA1> {
public:
    HashSha1();
};

class HashMd5 final : public DigestObject<IHashMD5, IID_IHashMD5> {
public:
    HashMd5();
};

}  // namespace tarvel::component
