// Two objects of one class used in turn from one thread: what one object is
// told must not reach the other. Shared state shows on every run here,
// where four threads at once catch it only when they happen to interleave.
#include "suites/contract_checks.h"
#include "suites/seeded_keys.h"
#include "suites/support.h"
#include "suites/vectors_records.h"

#include <checks/guarded_buffer.h>

#include <cstring>

namespace checks::contract {
namespace {

using support::Bytes;
using support::Hex;
using support::Words;

void DesObjects(Context& ctx, std::mt19937_64& random)
{
    const auto a = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    const auto b = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    if (!a || !b)
        return;
    std::uint8_t keyA[8], keyB[8], block[8];
    for (auto* bytes : {keyA, keyB, block}) {
        const std::uint64_t bits = random();
        std::memcpy(bytes, &bits, 8);
    }
    keyB[0] ^= 0x80;  // the two keys differ in more than parity
    std::uint32_t words[2];
    std::memcpy(words, keyA, 8);
    ctx.Calling("IUserDES::SetKey (object A)");
    if (!CallSucceeded(ctx, a->SetKey(words), "IUserDES::SetKey"))
        return;
    std::memcpy(words, keyB, 8);
    ctx.Calling("IUserDES::SetKey (object B)");
    if (!CallSucceeded(ctx, b->SetKey(words), "IUserDES::SetKey"))
        return;
    std::memcpy(words, block, 8);
    ctx.Calling("IUserDES::Encrypt (object A)");
    if (!CallSucceeded(ctx, a->Encrypt(words), "IUserDES::Encrypt"))
        return;
    const auto expected = support::OpenSslDes(keyA, block, true);
    if (std::memcmp(words, expected.data(), 8) != 0) {
        const auto withB = support::OpenSslDes(keyB, block, true);
        ctx.Fail(vectors::Mismatch("two IUserDES objects: SetKey " + Hex(keyA, 8) + " on A, SetKey " + Hex(keyB, 8) +
                                       " on B, then Encrypt of " + Hex(block, 8) + " on A" +
                                       (std::memcmp(words, withB.data(), 8) == 0
                                            ? ": A encrypted with B's key, so the objects share their key"
                                            : ""),
                                   Hex(expected.data(), 8), Hex(words, 8)));
    }
}

template <class Hash>
void HashObjects(Context& ctx, CryptoClassKind kind, std::size_t size, const char* reference, std::mt19937_64& random)
{
    const std::string name = support::ClassOf(kind).interfaceName;
    const auto a = support::Create<Hash>(ctx, kind);
    const auto b = support::Create<Hash>(ctx, kind);
    if (!a || !b)
        return;
    const Bytes first = support::RandomBytes(random, 1 + random() % 100);
    const Bytes second = support::RandomBytes(random, 1 + random() % 100);
    ctx.Calling(name + "::HashData (object A)");
    if (!CallSucceeded(ctx, a->HashData(first.data(), static_cast<std::uint32_t>(first.size())), name + "::HashData"))
        return;
    ctx.Calling(name + "::HashData (object B)");
    if (!CallSucceeded(ctx, b->HashData(second.data(), static_cast<std::uint32_t>(second.size())), name + "::HashData"))
        return;
    for (const auto& [object, message, label] : {std::tuple{a.Get(), &first, "A"}, std::tuple{b.Get(), &second, "B"}}) {
        GuardedBuffer digest(size, GuardedBuffer::Use::Output);
        ctx.Calling(name + "::GetHash (object " + label + ")");
        if (!CallSucceeded(ctx, object->GetHash(digest.Bytes()), name + "::GetHash"))
            return;
        const Bytes expected = support::OpenSslDigest(reference, message->data(), message->size());
        const std::string got = Hex(digest.Bytes(), size);
        if (got != Hex(expected)) {
            const Bytes& other = message == &first ? second : first;
            const bool crossed = got == Hex(support::OpenSslDigest(reference, other.data(), other.size()));
            ctx.Fail(vectors::Mismatch("two " + name + " objects: HashData of " + Hex(first) + " on A, HashData of " +
                                           Hex(second) + " on B, then GetHash of " + label +
                                           (crossed ? ": the digest of the other object's input, so the objects "
                                                      "share their state"
                                                    : ""),
                                       Hex(expected), got));
            return;
        }
    }
}

void RsaObjects(Context& ctx, std::mt19937_64& random)
{
    const auto keyA = support::SeededKey(random, 4, 65537, support::PrimeOrder::PAboveQ);
    const auto keyB = support::SeededKey(random, 4, 65537, support::PrimeOrder::PAboveQ);
    const auto a = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    const auto b = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!a || !b || !keyA || !keyB)
        return;
    if (!support::SetKey(ctx, *a.Get(), *keyA) || !support::SetKey(ctx, *b.Get(), *keyB))
        return;
    const support::Bignum n = support::ToBignum((*keyA)[support::kBase]);
    const support::Bytes bytes = support::RandomBytes(random, 20);
    support::Bignum c(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
    support::BignumContext bn(BN_CTX_new());
    BN_mod(c.get(), c.get(), n.get(), bn.get());
    const Words cipher = support::FromBignum(c.get(), 4);
    const auto got = support::RsaCall(ctx, *a.Get(), false, cipher);
    if (!got)
        return;
    support::Bignum m(BN_new());
    const support::Bignum d = support::ToBignum((*keyA)[support::kPrivate]);
    BN_mod_exp(m.get(), c.get(), d.get(), n.get(), bn.get());
    const Words expected = support::FromBignum(m.get(), 4);
    if (*got != expected)
        ctx.Fail(vectors::Mismatch("two IUserRSA objects: key A (n = " + vectors::Number((*keyA)[support::kBase]) +
                                       ") set on A, key B (n = " + vectors::Number((*keyB)[support::kBase]) +
                                       ") on B, then Decrypt of " + vectors::Number(cipher) + " on A",
                                   vectors::Number(expected), vectors::Number(*got)));
    const auto base = support::GetNumber(ctx, *a.Get(), support::kKeyParts[support::kBase]);
    if (base && *base != (*keyA)[support::kBase])
        ctx.Fail(vectors::Mismatch("two IUserRSA objects: GetBase of A after key B was set on B",
                                   vectors::Number((*keyA)[support::kBase]), vectors::Number(*base)));
}

void CheckSharedState(Context& ctx)
{
    auto random = support::Generator(ctx);
    DesObjects(ctx, random);
    HashObjects<IHashSHA1>(ctx, CryptoClassKind::HashSha1, kSha1DigestBytes, "SHA1", random);
    HashObjects<IHashMD5>(ctx, CryptoClassKind::HashMd5, kMd5DigestBytes, "MD5", random);
    RsaObjects(ctx, random);
}

}  // namespace

void AddSharedStateChecks(std::vector<CheckDef>& checks, Level)
{
    checks.push_back({"contract.shared-state",
                      "two objects of each class used in turn: a key or input given to one never reaches the other",
                      &CheckSharedState});
}

}  // namespace checks::contract
