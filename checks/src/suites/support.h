// What the suites share: objects made through the programs' binding, the key
// numbers through the getter protocol, OpenSSL as the reference, and the
// texts the reports show numbers and bytes in.
#pragma once

#include "suites/number_words.h"
#include "suites/recording_proxies.h"

#include <checks/check.h>

#include <common/hex_format.h>
#include <runtime/object_binding.h>
#include <runtime/com_ptr.h>
#include <component/openssl_ptr.h>
#include <tarvel/classes.h>
#include <tarvel/crypto.h>

#include <openssl/bn.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace checks::support {

const CryptoClass& ClassOf(CryptoClassKind kind);

// A slot neither program calls (GetHashSize, GetKey, GetUserId, GetCode,
// LoadAsyFile): E_NOTIMPL there is the component's choice, a note below
// thorough; any other failure is judged like every call. True on success,
// when the answer is to be judged.
bool UncalledSlotSucceeded(Context& ctx, HRESULT status, std::string_view call);
// The class as check names spell it: "rsa", "des", "sha1", "md5".
const char* ShortName(CryptoClassKind kind);

// An object of the class through CoCreateInstance, as the programs make it;
// null after reporting the failure (with the binding's reason and status).
template <class Interface>
ComPtr<Interface> Create(Context& ctx, CryptoClassKind kind)
{
    const CryptoClass& entry = ClassOf(kind);
    ComPtr<Interface> object;
    ctx.Calling(std::string("CoCreateInstance(") + entry.interfaceName + ")");
    // Through a recording proxy when the check keeps a record of its calls.
    const HRESULT hr = CreateObject(ctx.Recorder(), entry, object.Put());
    if (FAILED(hr) || !object) {
        if (hr == E_NOTIMPL)
            ctx.NotImplemented(std::string(entry.interfaceName) + " creation");
        else
            ctx.Fail(std::string("no ") + entry.interfaceName + " object: " + CoLastErrorText() + " (" +
                     StatusText(hr) + ")");
        object.Release();
    }
    return object;
}

// The eight numbers of an RSA key in getter order, with their slots.
struct KeyPart {
    const char* name;    // "base", "public key", ...
    const char* getter;  // "GetBase"
    const char* setter;  // "SetBase"
    HRESULT (IUserRSA::*get)(std::uint32_t*, std::uint32_t*);
    HRESULT (IUserRSA::*set)(const std::uint32_t*, std::uint32_t);
};
extern const std::array<KeyPart, 8> kKeyParts;
enum KeyPartIndex { kBase, kPublic, kPrivate, kPrimeP, kPrimeQ, kExponentP, kExponentQ, kCoefficient };

// One number through the protocol: the size query, then the number into a
// buffer of exactly that size. Reports and returns nullopt on any failure.
// A new IUserRSA object holding a generated key of keyWords words (user id
// "Checker"); null, with the failure told, when either step fails.
ComPtr<IUserRSA> Generated(Context& ctx, std::uint32_t keyWords);

std::optional<Words> GetNumber(Context& ctx, IUserRSA& rsa, const KeyPart& part);
// All eight, or nullopt after the first failure.
std::optional<std::array<Words, 8>> GetKey(Context& ctx, IUserRSA& rsa);
bool SetKey(Context& ctx, IUserRSA& rsa, const std::array<Words, 8>& numbers);
// A text through GetUserId or GetCode (slots no program calls): the size
// query, then the text with room for its terminator; nullopt once said why.
std::optional<std::string> GetText(Context& ctx, IUserRSA& rsa, HRESULT (IUserRSA::*get)(char*, std::uint32_t*),
                                   const std::string& call);
// GetKeyLength is words after a key of that length was made (madeBy says
// how, for the message).
void CheckKeyLength(Context& ctx, IUserRSA& rsa, std::uint32_t words, const std::string& madeBy);

// Raw RSA through the object: exactly keyWords words in and out.
std::optional<Words> RsaCall(Context& ctx, IUserRSA& rsa, bool encrypt, const Words& in);

// Numbers as the programs show them: most significant byte first, a blank
// every 8 bytes from the low end.
std::string ShownNumber(const Words& words);
// Bytes in their own order, lowercase hex, as the programs spell them.
inline std::string Hex(const void* data, std::size_t count)
{
    return HexBytes(data, count);
}
inline std::string Hex(const Bytes& bytes)
{
    return Hex(bytes.data(), bytes.size());
}
// Even-length hex to bytes; nullopt for anything else.
std::optional<Bytes> FromHex(std::string_view hex);
// "expected X, got Y" in one place so every check says it alike.
std::string Expected(const std::string& what, const std::string& expected, const std::string& got);

using BignumContext = tarvel::BnCtxPtr;

// The references.
Bytes OpenSslDigest(const char* name, const std::uint8_t* data, std::size_t count);
// Single DES in ECB mode on one 8-byte block.
std::array<std::uint8_t, 8> OpenSslDes(const std::uint8_t key[8], const std::uint8_t block[8], bool encrypt);
// The key schedule, then the block encrypted and decrypted in place: the
// work of the programs' DES round trip, done by OpenSSL.
void OpenSslDesRoundTrip(const std::uint8_t key[8], std::uint8_t block[8]);

// The check's random generator, seeded from its own seed.
inline std::mt19937_64 Generator(Context& ctx)
{
    return std::mt19937_64(ctx.Seed());
}
Bytes RandomBytes(std::mt19937_64& random, std::size_t count);

}  // namespace checks::support
