// Digests of the lengths where padding changes shape (around every 64-byte
// block), and SHA-1 of the largest input one call takes, against OpenSSL.
#include "suites/vectors_families.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Private anonymous memory, unmapped with its owner. Untouched, it reads as
// zeros; asked for huge pages, a read fault maps the kernel's huge zero page,
// 2 MiB a fault instead of 4 KiB, so 4 GiB cost about 2 000 faults rather
// than a million and the check's time goes to hashing.
class ZeroMapping {
public:
    explicit ZeroMapping(std::size_t bytes)
        : m_bytes(bytes),
          m_at(mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0))
    {
        if (m_at != MAP_FAILED)
            madvise(m_at, bytes, MADV_HUGEPAGE);  // a hint: without it the check is only slower
    }
    ~ZeroMapping()
    {
        if (m_at != MAP_FAILED)
            munmap(m_at, m_bytes);
    }
    ZeroMapping(const ZeroMapping&) = delete;
    ZeroMapping& operator=(const ZeroMapping&) = delete;
    bool Mapped() const { return m_at != MAP_FAILED; }
    std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(m_at); }
    // Read-only from now on, as a mapped file is to the SHA-1 test.
    bool Seal() const { return mprotect(m_at, m_bytes, PROT_READ) == 0; }

private:
    std::size_t m_bytes;
    void* m_at;
};

// 4 GiB - 1 bytes in one mapping: zeros with a few marked bytes at the ends
// and across the 2 GiB line, where a 32-bit count or offset would go wrong.
void CheckLargestInput(Context& ctx)
{
    constexpr std::uint64_t kBytes = (std::uint64_t(1) << 32) - 1;
    const ZeroMapping mapping(kBytes);
    if (!mapping.Mapped()) {
        ctx.Skip(std::string("cannot map 4 GiB - 1 bytes: ") + std::strerror(errno));
        return;
    }
    auto random = support::Generator(ctx);
    for (std::uint64_t offset : {std::uint64_t(0), std::uint64_t(4095), std::uint64_t(1) << 31,
                                 (std::uint64_t(1) << 31) - 1, kBytes - 4097, kBytes - 1})
        mapping.Bytes()[offset] = static_cast<std::uint8_t>(random() | 1);
    if (!mapping.Seal()) {
        ctx.Skip(std::string("cannot make the mapping read-only: ") + std::strerror(errno));
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
        checks.push_back({"vectors.sha1.4gib", "SHA-1 of a mapping of 4 GiB - 1 bytes in one call, against OpenSSL",
                          &CheckLargestInput, 600.0});
    return checks;
}

}  // namespace checks::vectors
