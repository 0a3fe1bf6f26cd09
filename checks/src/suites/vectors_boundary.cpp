// Digests of the lengths where padding changes shape (around every 64-byte
// block), and SHA-1 of the largest input one call takes, against OpenSSL.
#include "suites/vectors_families.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

namespace checks::vectors {
namespace {

using support::Create;
using support::Hex;

constexpr std::size_t kShownMessageBytes = 64;
// Multiples of the block, each with its neighbours, up to this many blocks.
constexpr std::size_t kBoundaryBlocks = 64;
constexpr std::size_t kLargestStandardLength = std::size_t(4) << 20;

// Every level: the block multiples and their neighbours up to 64 blocks.
// Above quick also the powers of two up to 4 MiB with their neighbours and
// the padding edges just past them, where a count kept in 16 bits, a buffer
// of 64 KiB or a loop over whole megabytes would go wrong.
std::vector<std::size_t> BoundaryLengths(Level level)
{
    std::set<std::size_t> lengths = {0, 55, 56, 63, 64, 65, 119, 120, 127, 128, 129, 1000};
    for (std::size_t block = 1; block <= kBoundaryBlocks; ++block)
        for (std::size_t length : {64 * block - 1, 64 * block, 64 * block + 1})
            lengths.insert(length);
    if (level >= Level::Standard)
        for (std::size_t power = std::size_t(1) << 13; power <= kLargestStandardLength; power *= 2)
            for (std::size_t length : {power - 1, power, power + 1, power + 55, power + 56})
                lengths.insert(length);
    return {lengths.begin(), lengths.end()};
}

template <class Interface>
void CheckBoundaries(Context& ctx, CryptoClassKind kind, std::size_t digestBytes, const char* reference)
{
    const auto hash = Create<Interface>(ctx, kind);
    if (!hash)
        return;
    HashProbe<Interface> probe(ctx, *hash.Get(), digestBytes, support::ClassOf(kind).interfaceName);
    auto random = support::Generator(ctx);
    const std::vector<std::size_t> lengths = BoundaryLengths(ctx.Options().level);
    MismatchLog log(ctx, "the block-boundary lengths");
    for (std::size_t length : lengths) {
        const Bytes message = support::RandomBytes(random, length);
        const auto got = probe.Digest(message);
        if (!got)
            return;
        const Bytes expected = support::OpenSslDigest(reference, message.data(), message.size());
        if (*got == expected)
            continue;
        std::string headline =
            "the digest of " + ByteCount(length) + " of random data (check seed " + std::to_string(ctx.Seed()) + ")";
        if (length <= kShownMessageBytes)
            headline += ": " + (message.empty() ? std::string("empty") : Hex(message));
        log.Add(Mismatch(headline, Hex(expected), Hex(*got)));
    }
    log.Finish(lengths.size());
}

// A file descriptor, closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// A read-only mapping of a whole file, unmapped with its owner.
class Mapping {
public:
    Mapping(int fd, std::size_t bytes) : m_bytes(bytes), m_at(mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd, 0)) {}
    ~Mapping()
    {
        if (m_at != MAP_FAILED)
            munmap(m_at, m_bytes);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    bool Mapped() const { return m_at != MAP_FAILED; }
    const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(m_at); }

private:
    std::size_t m_bytes;
    void* m_at;
};

// 4 GiB - 1 bytes in a sparse file of no disk space: zeros with a few
// marked bytes at the ends and across the 2 GiB line, where a 32-bit count
// or offset would go wrong. The file is unlinked at once, so nothing is
// left behind even when the check is stopped.
void CheckLargestInput(Context& ctx)
{
    constexpr std::uint64_t kBytes = (std::uint64_t(1) << 32) - 1;
    std::error_code error;
    const std::string folder = std::filesystem::temp_directory_path(error).string();
    std::string name = (error ? std::string("/tmp") : folder) + "/tarvel-check-XXXXXX";
    const Descriptor file(mkstemp(name.data()));
    if (file.Get() < 0) {
        ctx.Skip("cannot make a temporary file in " + folder + ": " + std::strerror(errno));
        return;
    }
    unlink(name.c_str());
    if (ftruncate(file.Get(), static_cast<off_t>(kBytes)) != 0) {
        ctx.Skip("cannot make a sparse file of 4 GiB - 1 bytes in " + folder + ": " + std::strerror(errno));
        return;
    }
    auto random = support::Generator(ctx);
    for (std::uint64_t offset : {std::uint64_t(0), std::uint64_t(4095), std::uint64_t(1) << 31,
                                 (std::uint64_t(1) << 31) - 1, kBytes - 4097, kBytes - 1}) {
        const auto mark = static_cast<std::uint8_t>(random() | 1);
        if (pwrite(file.Get(), &mark, 1, static_cast<off_t>(offset)) != 1) {
            ctx.Skip(std::string("cannot write the temporary file: ") + std::strerror(errno));
            return;
        }
    }
    const Mapping mapping(file.Get(), kBytes);
    if (!mapping.Mapped()) {
        ctx.Skip(std::string("cannot map 4 GiB - 1 bytes: ") + std::strerror(errno));
        return;
    }
    const auto hash = Create<IHashSHA1>(ctx, CryptoClassKind::HashSha1);
    if (!hash)
        return;
    HashProbe<IHashSHA1> probe(ctx, *hash.Get(), kSha1DigestBytes, "IHashSHA1");
    const auto got = probe.Digest(mapping.Bytes(), kBytes);
    if (!got)
        return;
    const Bytes expected = support::OpenSslDigest("SHA1", mapping.Bytes(), kBytes);
    if (*got != expected)
        ctx.Fail(Mismatch("the digest of 4 GiB - 1 bytes in one HashData call (zeros with marked bytes from check "
                          "seed " +
                              std::to_string(ctx.Seed()) + ")",
                          Hex(expected), Hex(*got)));
}

}  // namespace

std::vector<CheckDef> HashBoundaryChecks(const SuiteOptions& opts)
{
    std::vector<CheckDef> checks = {
        {"vectors.sha1.block-boundary",
         "SHA-1 of random messages around every 64-byte block and power of two up to 4 MiB, against OpenSSL",
         [](Context& ctx) { CheckBoundaries<IHashSHA1>(ctx, CryptoClassKind::HashSha1, kSha1DigestBytes, "SHA1"); }},
        {"vectors.md5.block-boundary",
         "MD5 of random messages around every 64-byte block and power of two up to 4 MiB, against OpenSSL",
         [](Context& ctx) { CheckBoundaries<IHashMD5>(ctx, CryptoClassKind::HashMd5, kMd5DigestBytes, "MD5"); }},
    };
    if (opts.level == Level::Thorough)
        checks.push_back({"vectors.sha1.4gib", "SHA-1 of a mapped file of 4 GiB - 1 bytes in one call, against OpenSSL",
                          &CheckLargestInput, 600.0});
    return checks;
}

}  // namespace checks::vectors
