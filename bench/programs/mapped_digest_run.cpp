#include "hash_run.h"
#include "read_only_file.h"

#include <openssl/evp.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ReadOnlyMapping {
public:
    ReadOnlyMapping(int fd, std::size_t size)
        : m_size(size), m_base(::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0))
    {
        if (m_base == MAP_FAILED)
            FailWithErrno("cannot map the file");
    }
    ~ReadOnlyMapping() { ::munmap(m_base, m_size); }
    ReadOnlyMapping(const ReadOnlyMapping&) = delete;
    ReadOnlyMapping& operator=(const ReadOnlyMapping&) = delete;
    const void* Data() const { return m_base; }

private:
    std::size_t m_size;
    void* m_base;
};

}  // namespace

HashRun RunMappedDigest(const std::string& path)
{
    return TimeDigest([&](unsigned char* digest) {
        unsigned int length = 0;
        ReadOnlyFile file(path);
        struct stat info {};
        if (::fstat(file.Fd(), &info) != 0)
            FailWithErrno("cannot query " + path);
        if (info.st_size == 0)
            throw std::runtime_error(path + " is empty");
        ReadOnlyMapping mapping(file.Fd(), static_cast<std::size_t>(info.st_size));
        if (!EVP_Digest(mapping.Data(), static_cast<std::size_t>(info.st_size), digest, &length, EVP_sha1(), nullptr))
            throw std::runtime_error("EVP_Digest failed");
        return length;
    });
}
