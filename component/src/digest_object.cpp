#include "digest_object.h"

#include <tarvel/call_guard.h>

#include <openssl/err.h>

#include <cstring>
#include <new>
#include <stdexcept>

namespace tarvel::component {

template <class Interface, const IID& kInterfaceId>
DigestObject<Interface, kInterfaceId>::DigestObject(const char* algorithm)
    // Fetched once: a per-call lookup would dominate hashing short inputs.
    : m_algorithm(EVP_MD_fetch(nullptr, algorithm, nullptr)), m_context(EVP_MD_CTX_new())
{
    if (!m_context)
        throw std::bad_alloc();
    if (!m_algorithm) {
        ERR_clear_error();
        throw std::runtime_error("digest not available");
    }
    m_size = static_cast<std::uint32_t>(EVP_MD_get_size(m_algorithm.get()));
}

template <class Interface, const IID& kInterfaceId>
HRESULT DigestObject<Interface, kInterfaceId>::GetHashSize(std::uint32_t* bytes)
{
    return GuardedCall([&] {
        if (!bytes)
            return E_POINTER;
        *bytes = m_size;
        return S_OK;
    });
}

template <class Interface, const IID& kInterfaceId>
HRESULT DigestObject<Interface, kInterfaceId>::HashData(const std::uint8_t* data, std::uint32_t bytes)
{
    return GuardedCall([&] {
        // A refused call leaves no digest either: GetHash must not hand out
        // the previous input's digest as if it were this one's.
        m_hasDigest = false;
        if (!data && bytes > 0)
            return E_POINTER;
        static constexpr std::uint8_t kNothing = 0;
        unsigned int size = 0;
        if (EVP_DigestInit_ex2(m_context.get(), m_algorithm.get(), nullptr) <= 0 ||
            EVP_DigestUpdate(m_context.get(), data ? data : &kNothing, bytes) <= 0 ||
            EVP_DigestFinal_ex(m_context.get(), m_digest.data(), &size) <= 0 || size != m_size) {
            ERR_clear_error();
            return E_FAIL;
        }
        m_hasDigest = true;
        return S_OK;
    });
}

template <class Interface, const IID& kInterfaceId>
HRESULT DigestObject<Interface, kInterfaceId>::GetHash(std::uint8_t* digest)
{
    return GuardedCall([&] {
        if (!digest)
            return E_POINTER;
        if (!m_hasDigest)
            return E_FAIL;
        std::memcpy(digest, m_digest.data(), m_size);
        return S_OK;
    });
}

template class DigestObject<IHashSHA1, IID_IHashSHA1>;
template class DigestObject<IHashMD5, IID_IHashMD5>;

HashSha1::HashSha1() : DigestObject("SHA1") {}
HashMd5::HashMd5() : DigestObject("MD5") {}

}  // namespace tarvel::component
