#include "hash_run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct MdCtxFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

class ReadOnlyDescriptor {
public:
    explicit ReadOnlyDescriptor(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd < 0)
            Fail("cannot open " + path);
    }
    ~ReadOnlyDescriptor() { ::close(m_fd); }
    ReadOnlyDescriptor(const ReadOnlyDescriptor&) = delete;
    ReadOnlyDescriptor& operator=(const ReadOnlyDescriptor&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

HashRun RunReadDigest(const std::string& path)
{
    // The block size the command-line tools read with is of this order; much
    // larger blocks no longer stay in the first-level caches while hashed.
    constexpr std::size_t kBlockBytes = std::size_t{64} << 10;
    HashRun run;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    {
        ReadOnlyDescriptor file(path);
        std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
        if (!ctx || !EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr))
            throw std::runtime_error("EVP_DigestInit_ex failed");
        std::vector<unsigned char> block(kBlockBytes);
        for (;;) {
            const ssize_t got = ::read(file.Fd(), block.data(), block.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                Fail("cannot read " + path);
            if (got == 0)
                break;
            if (!EVP_DigestUpdate(ctx.get(), block.data(), static_cast<std::size_t>(got)))
                throw std::runtime_error("EVP_DigestUpdate failed");
        }
        if (!EVP_DigestFinal_ex(ctx.get(), digest, &length))
            throw std::runtime_error("EVP_DigestFinal_ex failed");
    }
    const auto end = std::chrono::steady_clock::now();
    run.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    run.seconds = std::chrono::duration<double>(end - start).count();
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        run.sha1 += pair;
    }
    return run;
}
