#include "component/openssl_ptr.h"
#include "hash_run.h"
#include "read_only_file.h"

#include <memory>
#include <openssl/evp.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

HashRun RunReadDigest(const std::string& path)
{
    // The block size the command-line tools read with is of this order; much
    // larger blocks no longer stay in the first-level caches while hashed.
    constexpr std::size_t kBlockBytes = std::size_t{64} << 10;
    return TimeDigest([&](unsigned char* digest) {
        unsigned int length = 0;
        ReadOnlyFile file(path);
        tarvel::MdCtxPtr ctx(EVP_MD_CTX_new());
        if (!ctx || !EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr))
            throw std::runtime_error("EVP_DigestInit_ex failed");
        std::vector<unsigned char> block(kBlockBytes);
        for (;;) {
            const ssize_t got = ::read(file.Fd(), block.data(), block.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                FailWithErrno("cannot read " + path);
            if (got == 0)
                break;
            if (!EVP_DigestUpdate(ctx.get(), block.data(), static_cast<std::size_t>(got)))
                throw std::runtime_error("EVP_DigestUpdate failed");
        }
        if (!EVP_DigestFinal_ex(ctx.get(), digest, &length))
            throw std::runtime_error("EVP_DigestFinal_ex failed");
        return length;
    });
}
