#include "suites/support.h"

#include <common/hex_format.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>

namespace checks::support {

const std::array<KeyPart, 8> kKeyParts = {{
    {"base", "GetBase", "SetBase", &IUserRSA::GetBase, &IUserRSA::SetBase},
    {"public key", "GetPublicKey", "SetPublicKey", &IUserRSA::GetPublicKey, &IUserRSA::SetPublicKey},
    {"private key", "GetPrivateKey", "SetPrivateKey", &IUserRSA::GetPrivateKey, &IUserRSA::SetPrivateKey},
    {"prime p", "GetKeyPart4", "SetKeyPart4", &IUserRSA::GetKeyPart4, &IUserRSA::SetKeyPart4},
    {"prime q", "GetKeyPart5", "SetKeyPart5", &IUserRSA::GetKeyPart5, &IUserRSA::SetKeyPart5},
    {"d mod (p-1)", "GetKeyPart6", "SetKeyPart6", &IUserRSA::GetKeyPart6, &IUserRSA::SetKeyPart6},
    {"d mod (q-1)", "GetKeyPart7", "SetKeyPart7", &IUserRSA::GetKeyPart7, &IUserRSA::SetKeyPart7},
    {"q^-1 mod p", "GetKeyPart8", "SetKeyPart8", &IUserRSA::GetKeyPart8, &IUserRSA::SetKeyPart8},
}};

const CryptoClass& ClassOf(CryptoClassKind kind)
{
    for (const CryptoClass& entry : kCryptoClasses)
        if (entry.kind == kind)
            return entry;
    return kCryptoClasses[0];
}

bool UncalledSlotSucceeded(Context& ctx, HRESULT status, std::string_view call)
{
    if (status == E_NOTIMPL) {
        ctx.Choice(std::string(call) + " is not implemented (neither program calls it)");
        return false;
    }
    return CallSucceeded(ctx, status, call);
}

const char* ShortName(CryptoClassKind kind)
{
    switch (kind) {
    case CryptoClassKind::UserRsa:
        return "rsa";
    case CryptoClassKind::UserDes:
        return "des";
    case CryptoClassKind::HashSha1:
        return "sha1";
    case CryptoClassKind::HashMd5:
        return "md5";
    }
    return "unknown";
}

std::optional<Words> GetNumber(Context& ctx, IUserRSA& rsa, const KeyPart& part)
{
    const std::string call = std::string("IUserRSA::") + part.getter;
    // The largest number the contract allows, with room for a careless count.
    constexpr std::uint32_t kLimit = 1u << 16;
    std::uint32_t need = 0;
    ctx.Calling(call + " (size query)");
    if (!CallSucceeded(ctx, (rsa.*part.get)(nullptr, &need), call + " (size query)"))
        return std::nullopt;
    if (need > kLimit) {
        ctx.Fail(call + " asks for " + std::to_string(need) + " words for the " + part.name);
        return std::nullopt;
    }
    Words words(need + 1, 0);
    std::uint32_t count = need;
    ctx.Calling(call);
    if (!CallSucceeded(ctx, (rsa.*part.get)(words.data(), &count), call))
        return std::nullopt;
    if (count > need) {
        ctx.Fail(call + " reports " + std::to_string(count) + " words written into a buffer of " +
                 std::to_string(need));
        return std::nullopt;
    }
    words.resize(count);
    return words;
}

void CheckKeyLength(Context& ctx, IUserRSA& rsa, std::uint32_t words, const std::string& madeBy)
{
    std::uint32_t length = 0;
    ctx.Calling("IUserRSA::GetKeyLength");
    if (CallSucceeded(ctx, rsa.GetKeyLength(&length), "IUserRSA::GetKeyLength") && length != words)
        ctx.Fail(Expected("IUserRSA::GetKeyLength after " + madeBy, std::to_string(words), std::to_string(length)));
}

std::optional<std::array<Words, 8>> GetKey(Context& ctx, IUserRSA& rsa)
{
    std::array<Words, 8> numbers;
    for (std::size_t i = 0; i < kKeyParts.size(); ++i) {
        auto number = GetNumber(ctx, rsa, kKeyParts[i]);
        if (!number)
            return std::nullopt;
        numbers[i] = std::move(*number);
    }
    return numbers;
}

bool SetKey(Context& ctx, IUserRSA& rsa, const std::array<Words, 8>& numbers)
{
    for (std::size_t i = 0; i < kKeyParts.size(); ++i) {
        const std::string call = std::string("IUserRSA::") + kKeyParts[i].setter;
        ctx.Calling(call);
        const HRESULT hr = (rsa.*kKeyParts[i].set)(numbers[i].data(), static_cast<std::uint32_t>(numbers[i].size()));
        if (!CallSucceeded(ctx, hr, call))
            return false;
    }
    return true;
}

std::optional<std::string> GetText(Context& ctx, IUserRSA& rsa, HRESULT (IUserRSA::*get)(char*, std::uint32_t*),
                                   const std::string& call)
{
    std::uint32_t length = 0;
    ctx.Calling(call + " (size query)");
    if (!UncalledSlotSucceeded(ctx, (rsa.*get)(nullptr, &length), call + " (size query)"))
        return std::nullopt;
    if (length > (1u << 20)) {
        ctx.Fail(call + " asks for " + std::to_string(length) + " bytes");
        return std::nullopt;
    }
    std::string text(std::size_t{length} + 1, '\0');
    std::uint32_t capacity = length + 1;
    ctx.Calling(call);
    if (!UncalledSlotSucceeded(ctx, (rsa.*get)(text.data(), &capacity), call))
        return std::nullopt;
    text.resize(length);
    return text;
}

std::optional<Words> RsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in)
{
    const std::string call = encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt";
    Words out(in.size(), 0);
    std::uint32_t outWords = static_cast<std::uint32_t>(out.size());
    ctx.Calling(call);
    const HRESULT hr = encrypt ? rsa.Encrypt(in.data(), static_cast<std::uint32_t>(in.size()), out.data(), &outWords)
                               : rsa.Decrypt(in.data(), static_cast<std::uint32_t>(in.size()), out.data(), &outWords);
    if (!CallSucceeded(ctx, hr, call))
        return std::nullopt;
    if (outWords > out.size()) {
        ctx.Fail(call + " reports " + std::to_string(outWords) + " words written into a buffer of " +
                 std::to_string(out.size()));
        return std::nullopt;
    }
    out.resize(outWords);
    // Leading zero words carry no value; compare numbers, not spellings.
    out.resize(in.size(), 0);
    return out;
}

std::string ShownNumber(const Words& words)
{
    if (words.empty())
        return "(no words)";
    return FormatHex(words.data(), static_cast<int>(words.size())).str();
}

std::optional<Bytes> FromHex(std::string_view hex)
{
    return BytesFromHex(hex);
}

std::string Expected(const std::string& what, const std::string& expected, const std::string& got)
{
    return what + ": expected " + expected + ", got " + got;
}

Bytes OpenSslDigest(const char* name, const std::uint8_t* data, std::size_t count)
{
    Bytes digest(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    EVP_Digest(data, count, digest.data(), &size, EVP_get_digestbyname(name), nullptr);
    digest.resize(size);
    return digest;
}

Bytes RandomBytes(std::mt19937_64& random, std::size_t count)
{
    // Eight bytes a draw: the megabyte messages of the hash checks are made
    // in a blink.
    Bytes bytes(count);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const std::uint64_t bits = random();
        std::memcpy(bytes.data() + i, &bits, 8);
    }
    for (; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
    return bytes;
}

ComPtr<IUserRSA> Generated(Context& ctx, std::uint32_t keyWords)
{
    ComPtr<IUserRSA> rsa = Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return rsa;
    ctx.Calling("IUserRSA::GenerateKey(" + std::to_string(keyWords) + " words)");
    if (!CallSucceeded(ctx, rsa->GenerateKey("Checker", keyWords),
                       "IUserRSA::GenerateKey with " + std::to_string(keyWords) + " words"))
        rsa.Release();
    return rsa;
}

}  // namespace checks::support
