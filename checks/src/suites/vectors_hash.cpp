// Known digests: NIST's SHA-1 message files and Monte Carlo chain, and the
// RFC 1321 suite of MD5.
#include "suites/vectors_families.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <algorithm>
#include <cstdint>

namespace checks::vectors {
namespace {

constexpr const char* kShaMonteFile = "hashes/SHA1/SHA1Monte.rsp";
constexpr const char* kMd5File = "md5.vec";

using support::Create;
using support::Hex;

// Messages at Level::Quick, so quick stays fast; every one above it.
constexpr std::size_t kQuickMessages = 8;
constexpr std::size_t kQuickMonteCheckpoints = 2;
// Longer messages are named by their length only.
constexpr std::size_t kShownMessageBytes = 64;

struct KnownDigest {
    std::string label;  // "SHA1ShortMsg.rsp Len = 8 (line 12)"
    Bytes message;
    Bytes digest;
};

std::size_t Limit(const Context& ctx, std::size_t quick)
{
    return ctx.Options().level == Level::Quick ? quick : SIZE_MAX;
}

// The byte-oriented records of a SHAVS message file: Len in bits, Msg (one
// zero byte standing for the empty message), MD.
std::optional<std::vector<KnownDigest>> ShaMessages(Context& ctx, const VectorFile& file, std::size_t limit)
{
    std::vector<KnownDigest> known;
    for (const VectorRecord& record : file.records) {
        if (!record.Get("Len"))
            continue;
        if (known.size() == limit)
            break;
        const auto bits = NumberField(ctx, file, record, "Len");
        auto message = bits ? HexField(ctx, file, record, "Msg") : std::nullopt;
        auto digest = message ? HexField(ctx, file, record, "MD") : std::nullopt;
        if (!digest)
            return std::nullopt;
        if (*bits % 8 != 0 || message->size() < *bits / 8) {
            ctx.Fail(file.Name() + " line " + std::to_string(record.line) + ": Len = " + std::to_string(*bits) +
                     " is not the length of a byte message of " + std::to_string(message->size()) + " bytes");
            return std::nullopt;
        }
        message->resize(*bits / 8);
        known.push_back(
            {file.Name() + " Len = " + std::to_string(*bits) + " (line " + std::to_string(record.line) + ")",
             std::move(*message), std::move(*digest)});
    }
    return known;
}

// Tarvel's own known-answer files: In, Out.
std::optional<std::vector<KnownDigest>> InOutMessages(Context& ctx, const VectorFile& file)
{
    std::vector<KnownDigest> known;
    for (const VectorRecord& record : file.records) {
        auto message = HexField(ctx, file, record, "In");
        auto digest = message ? HexField(ctx, file, record, "Out") : std::nullopt;
        if (!digest)
            return std::nullopt;
        known.push_back(
            {file.Name() + " line " + std::to_string(record.line), std::move(*message), std::move(*digest)});
    }
    return known;
}

template <class Interface>
void CheckKnownDigests(Context& ctx, CryptoClassKind kind, std::size_t digestBytes, const VectorFile& file,
                       const std::vector<KnownDigest>& known)
{
    if (known.empty()) {
        ctx.Fail(file.path + " holds no message records");
        return;
    }
    const auto hash = Create<Interface>(ctx, kind);
    if (!hash)
        return;
    const std::string name = support::ClassOf(kind).interfaceName;
    HashProbe<Interface> probe(ctx, *hash.Get(), digestBytes, name);
    MismatchLog log(ctx, file.Name());
    for (const KnownDigest& vector : known) {
        const auto got = probe.Digest(vector.message);
        if (!got)
            return;
        if (*got != vector.digest) {
            std::string headline = vector.label + ": the digest of " + ByteCount(vector.message.size());
            if (vector.message.size() <= kShownMessageBytes)
                headline += " (" + (vector.message.empty() ? std::string("empty") : Hex(vector.message)) + ")";
            log.Add(Mismatch(headline, Hex(vector.digest), Hex(*got)));
        }
    }
    log.Finish(known.size());
}

void CheckShaFile(Context& ctx, const std::string& relative)
{
    const auto file = LoadVectorFile(ctx, PackagePath(ctx.Options(), relative), Source::VectorPackage);
    if (!file)
        return;
    if (const auto known = ShaMessages(ctx, *file, Limit(ctx, kQuickMessages)))
        CheckKnownDigests<IHashSHA1>(ctx, CryptoClassKind::HashSha1, kSha1DigestBytes, *file, *known);
}

// The SHAVS Monte Carlo chain: each checkpoint is 1000 digests on from the
// last, every digest taken over the three before it.
void CheckShaMonte(Context& ctx)
{
    const auto file = LoadVectorFile(ctx, PackagePath(ctx.Options(), kShaMonteFile), Source::VectorPackage);
    if (!file)
        return;
    const auto seedRecord = std::find_if(file->records.begin(), file->records.end(),
                                         [](const VectorRecord& record) { return record.Get("Seed") != nullptr; });
    if (seedRecord == file->records.end()) {
        ctx.Fail(file->path + " holds no Seed");
        return;
    }
    auto seed = HexField(ctx, *file, *seedRecord, "Seed");
    if (!seed)
        return;
    const auto hash = Create<IHashSHA1>(ctx, CryptoClassKind::HashSha1);
    if (!hash)
        return;
    HashProbe<IHashSHA1> probe(ctx, *hash.Get(), kSha1DigestBytes, "IHashSHA1");
    const std::size_t limit = Limit(ctx, kQuickMonteCheckpoints);
    std::size_t checked = 0;
    for (const VectorRecord& record : file->records) {
        if (!record.Get("COUNT"))
            continue;
        if (checked == limit)
            break;
        const auto count = NumberField(ctx, *file, record, "COUNT");
        const auto expected = count ? HexField(ctx, *file, record, "MD") : std::nullopt;
        if (!expected)
            return;
        std::array<Bytes, 3> last = {*seed, *seed, *seed};
        for (int i = 3; i < 1003; ++i) {
            Bytes message;
            for (const Bytes& digest : last)
                message.insert(message.end(), digest.begin(), digest.end());
            auto digest = probe.Digest(message);
            if (!digest)
                return;
            last = {std::move(last[1]), std::move(last[2]), std::move(*digest)};
        }
        ++checked;
        if (last[2] != *expected) {
            // Every later checkpoint grows from this one.
            ctx.Fail(Mismatch(file->Name() + " COUNT = " + std::to_string(*count) + " (line " +
                                  std::to_string(record.line) + "): the checkpoint of the chain from seed " +
                                  Hex(*seed) + "; the chain stops here",
                              Hex(*expected), Hex(last[2])));
            return;
        }
        seed = last[2];
    }
    if (checked == 0)
        ctx.Fail(file->path + " holds no checkpoints");
}

void CheckMd5Suite(Context& ctx)
{
    const auto file = LoadVectorFile(ctx, DataPath(ctx.Options(), kMd5File), Source::TarvelData);
    if (!file)
        return;
    if (const auto known = InOutMessages(ctx, *file))
        CheckKnownDigests<IHashMD5>(ctx, CryptoClassKind::HashMd5, kMd5DigestBytes, *file, *known);
}

}  // namespace

std::vector<CheckDef> HashVectorChecks(const SuiteOptions& opts)
{
    const std::string shortMsg = "hashes/SHA1/SHA1ShortMsg.rsp", longMsg = "hashes/SHA1/SHA1LongMsg.rsp";
    return {
        ReadingFiles({"vectors.sha1.short-msg", "SHA-1 of NIST's short messages (0 to 64 bytes)",
                      [shortMsg](Context& ctx) { CheckShaFile(ctx, shortMsg); }},
                     {PackagePath(opts, shortMsg)}),
        ReadingFiles({"vectors.sha1.long-msg", "SHA-1 of NIST's long messages (up to 6400 bytes)",
                      [longMsg](Context& ctx) { CheckShaFile(ctx, longMsg); }},
                     {PackagePath(opts, longMsg)}),
        ReadingFiles({"vectors.sha1.monte", "NIST's SHA-1 Monte Carlo chain, checkpoint by checkpoint", &CheckShaMonte},
                     {PackagePath(opts, kShaMonteFile)}),
        ReadingFiles({"vectors.md5.rfc1321", "MD5 of the RFC 1321 test suite", &CheckMd5Suite},
                     {DataPath(opts, kMd5File)}),
    };
}

}  // namespace checks::vectors
