// What the OpenSSL reference runs share: a file descriptor opened read-only
// and closed on every path, and the timing of one digest.
#pragma once

#include "hash_run.h"

#include <openssl/evp.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

[[noreturn]] inline void FailWithErrno(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd < 0)
            FailWithErrno("cannot open " + path);
    }
    ~ReadOnlyFile() { ::close(m_fd); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

// Lowercase hex digits, bytes in the order given.
inline std::string DigestHex(const unsigned char* digest, unsigned int length)
{
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

// Times hashInto(digest) -> digest length, wall and thread CPU time, and
// keeps the digest as text.
template <class HashInto>
HashRun TimeDigest(HashInto&& hashInto)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const unsigned int length = hashInto(digest);
    const auto end = std::chrono::steady_clock::now();
    HashRun run;
    run.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    run.seconds = std::chrono::duration<double>(end - start).count();
    run.sha1 = DigestHex(digest, length);
    return run;
}
