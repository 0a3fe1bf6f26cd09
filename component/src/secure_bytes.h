// A byte buffer that is wiped before its memory is given back, for anything
// that may hold key material on its way in or out.
#pragma once

#include <openssl/crypto.h>

#include <cstddef>
#include <vector>

namespace tarvel::component {

class SecureBytes {
public:
    explicit SecureBytes(std::size_t size) : m_bytes(size) {}
    ~SecureBytes() { Wipe(); }
    SecureBytes(const SecureBytes&) = delete;
    SecureBytes& operator=(const SecureBytes&) = delete;

    unsigned char* data() { return m_bytes.data(); }
    const unsigned char* data() const { return m_bytes.data(); }
    std::size_t size() const { return m_bytes.size(); }

private:
    void Wipe()
    {
        if (!m_bytes.empty())
            OPENSSL_cleanse(m_bytes.data(), m_bytes.size());
    }

    std::vector<unsigned char> m_bytes;
};

}  // namespace tarvel::component
