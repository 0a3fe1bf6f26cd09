#include "bench/operations.h"

#include "bench/openssl_reference.h"
#include "suites/number_words.h"
#include "suites/support.h"

#include <harness/below_base.h>
#include <harness/des_round_trip.h>
#include <harness/failure_text.h>
#include <harness/file_sha1.h>
#include <harness/key_numbers.h>
#include <harness/md5_digest.h>
#include <runtime/object_binding.h>
#include <runtime/com_ptr.h>
#include <runtime/mapped_file.h>
#include <tarvel/classes.h>
#include <tarvel/crypto.h>

#include <openssl/bn.h>

#include <cstring>
#include <memory>
#include <random>

namespace bench {
namespace {

// Fixed, so two runs time the same inputs.
constexpr std::uint64_t kInputSeed = 0x7a11e1b3c4d5e6f7ull;

using checks::support::Hex;

std::string Mismatch(const std::string& what, const std::string& ours, const std::string& openssl)
{
    return what + ": the component gave " + ours + ", OpenSSL gives " + openssl + "; a wrong answer is not timed";
}

template <class Interface>
ComPtr<Interface> Create(CryptoClassKind kind, std::string& error)
{
    for (const CryptoClass& entry : kCryptoClasses) {
        if (entry.kind != kind)
            continue;
        ComPtr<Interface> object;
        const HRESULT hr = CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, entry.iid, object.Put());
        if (FAILED(hr) || !object) {
            error = std::string("no ") + entry.interfaceName + " object: " + CoLastErrorText() + " (" +
                    checks::StatusText(hr) + ")";
            object.Release();
        }
        return object;
    }
    error = "unknown class";
    return {};
}

Bytes RandomBytes(std::size_t count, std::uint64_t salt)
{
    std::mt19937_64 random(kInputSeed ^ salt);
    return checks::support::RandomBytes(random, count);
}

// The eight numbers of the object's key, each through the size protocol.
std::optional<std::array<Words, 8>> ReadKey(IUserRSA& rsa, std::string& error)
{
    static const std::pair<harness::KeyNumberGetter, const char*> kGetters[8] = {
        {&IUserRSA::GetBase, "GetBase"},
        {&IUserRSA::GetPublicKey, "GetPublicKey"},
        {&IUserRSA::GetPrivateKey, "GetPrivateKey"},
        {&IUserRSA::GetKeyPart4, "GetKeyPart4"},
        {&IUserRSA::GetKeyPart5, "GetKeyPart5"},
        {&IUserRSA::GetKeyPart6, "GetKeyPart6"},
        {&IUserRSA::GetKeyPart7, "GetKeyPart7"},
        {&IUserRSA::GetKeyPart8, "GetKeyPart8"}};
    std::array<Words, 8> numbers;
    for (std::size_t i = 0; i < 8; ++i) {
        std::uint32_t count = 0;
        auto number = harness::ReadKeyNumber(rsa, kGetters[i].first, kGetters[i].second, count);
        if (!number) {
            error = harness::FailureText(number.Failure());
            return std::nullopt;
        }
        numbers[i] = std::move(number.Value());
    }
    return numbers;
}

// A key the component generated and OpenSSL accepts, as an EVP key beside it.
struct CheckedKey {
    std::array<Words, 8> numbers;
    PkeyPtr key;
};

// The key the object holds after GenerateKey(words), if it is sound.
std::optional<CheckedKey> CheckGeneratedKey(IUserRSA& rsa, std::uint32_t words, std::string& error)
{
    CheckedKey checked;
    auto numbers = ReadKey(rsa, error);
    if (!numbers)
        return std::nullopt;
    checked.numbers = std::move(*numbers);
    const Words& base = checked.numbers[0];
    const unsigned bits = base.empty() || base.back() == 0
                              ? 0
                              : 32 * static_cast<unsigned>(base.size() - 1) + 32 - __builtin_clz(base.back());
    if (base.size() != words || base.back() == 0 || bits != 32 * words) {
        error = "GenerateKey(" + std::to_string(words) + " words) gave a base of " + std::to_string(base.size()) +
                " words, " + std::to_string(bits) + " bits; expected exactly " + std::to_string(32 * words) + " bits";
        return std::nullopt;
    }
    checked.key = RsaKeyFromNumbers(checked.numbers, error);
    if (!checked.key)
        return std::nullopt;
    if (error = CheckRsaKey(checked.key.get()); !error.empty()) {
        error = "the key GenerateKey(" + std::to_string(words) + " words) gave is not sound: " + error;
        return std::nullopt;
    }
    return checked;
}

std::optional<CheckedKey> GenerateCheckedKey(IUserRSA& rsa, std::uint32_t words, std::string& error)
{
    if (const HRESULT hr = rsa.GenerateKey("bench", words); FAILED(hr)) {
        error = harness::FailedCallText("GenerateKey(" + std::to_string(words) + " words)", hr);
        return std::nullopt;
    }
    return CheckGeneratedKey(rsa, words, error);
}

Operation KeyGeneration(std::uint32_t words)
{
    struct State {
        ComPtr<IUserRSA> rsa;
        std::unique_ptr<RsaKeyGenerator> generator;
    };
    auto state = std::make_shared<State>();
    Operation op;
    op.name = "keygen." + std::to_string(words);
    op.description = "GenerateKey of " + std::to_string(32 * words) + " bits, one key per sample";
    op.onePerSample = true;
    op.budgetScale = words >= 128 ? 10 : words >= 64 ? 4 : 2;
    op.referenceName = "EVP_PKEY_generate";
    op.prepare = [state, words]() -> std::string {
        std::string error;
        state->rsa = Create<IUserRSA>(CryptoClassKind::UserRsa, error);
        if (!state->rsa || !GenerateCheckedKey(*state->rsa, words, error))
            return error;
        state->generator = std::make_unique<RsaKeyGenerator>(32 * words);
        if (!state->generator->Ready())
            return OpenSslError("EVP RSA key generation set-up");
        return {};
    };
    op.ours = [state, words](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (const HRESULT hr = state->rsa->GenerateKey("bench", words); FAILED(hr))
                return harness::FailedCallText("GenerateKey", hr);
        return {};
    };
    op.verify = [state, words]() -> std::string {
        std::string error;
        return CheckGeneratedKey(*state->rsa, words, error) ? std::string() : error;
    };
    op.reference = [state](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (!state->generator->Generate())
                return OpenSslError("EVP_PKEY_generate");
        return {};
    };
    return op;
}

// One key per size, shared by the public and the private operation.
struct RsaFixture {
    std::uint32_t words = 0;
    ComPtr<IUserRSA> rsa;
    std::optional<CheckedKey> key;
    std::string error;
    Words plain, cipher;
    Bytes plainBytes, cipherBytes;

    bool Ensure()
    {
        if (key || !error.empty())
            return error.empty();
        rsa = Create<IUserRSA>(CryptoClassKind::UserRsa, error);
        if (rsa)
            key = GenerateCheckedKey(*rsa, words, error);
        if (!key)
            return false;
        const Bytes random = RandomBytes(4 * words, words);
        plain.assign(words, 0);
        std::memcpy(plain.data(), random.data(), random.size());
        harness::KeepBelowBase(plain, key->numbers[0]);
        plainBytes = checks::support::BigEndianBytes(plain, words);
        return true;
    }
};

// What one RSA operation works on, and the answer its last call gave.
struct RsaState {
    std::shared_ptr<RsaFixture> fixture;
    std::unique_ptr<RawRsa> reference;
    Words in, out, expected;
    std::uint32_t outWords = 0;
    Bytes inBytes, outBytes;

    // One call of the component on in; its failure as text, or "".
    std::string Call(bool privateOperation, const char* call)
    {
        RsaFixture& f = *fixture;
        outWords = f.words;
        const HRESULT hr = privateOperation ? f.rsa->Decrypt(in.data(), f.words, out.data(), &outWords)
                                            : f.rsa->Encrypt(in.data(), f.words, out.data(), &outWords);
        return FAILED(hr) ? harness::FailedCallText(call, hr) : std::string();
    }

    std::string CheckAnswer(const char* call) const
    {
        const std::uint32_t words = fixture->words;
        if (outWords > words)
            return std::string(call) + " reports " + std::to_string(outWords) + " words written into a buffer of " +
                   std::to_string(words);
        Words got = out;
        got.resize(outWords);
        got.resize(words, 0);
        if (got == expected)
            return {};
        return Mismatch(std::string(call) + " of " + Hex(inBytes.data(), inBytes.size()) + " (big-endian)",
                        Hex(checks::support::BigEndianBytes(got, words).data(), 4 * words),
                        Hex(outBytes.data(), outBytes.size()));
    }
};

Operation RsaOperation(const std::shared_ptr<RsaFixture>& fixture, bool privateOperation)
{
    using State = RsaState;
    auto state = std::make_shared<State>();
    state->fixture = fixture;
    const std::uint32_t words = fixture->words;
    Operation op;
    op.name = std::string(privateOperation ? "rsa.private." : "rsa.public.") + std::to_string(words);
    op.description = std::string(privateOperation ? "Decrypt" : "Encrypt") + " with a " + std::to_string(32 * words) +
                     "-bit key (raw RSA)";
    op.referenceName = privateOperation ? "EVP_PKEY_decrypt" : "EVP_PKEY_encrypt";
    const char* call = privateOperation ? "IUserRSA::Decrypt" : "IUserRSA::Encrypt";
    op.prepare = [state, privateOperation, call]() -> std::string {
        RsaFixture& f = *state->fixture;
        if (!f.Ensure())
            return f.error;
        RawRsa encrypt(f.key->key.get(), false);
        state->reference = std::make_unique<RawRsa>(f.key->key.get(), privateOperation);
        if (!encrypt.Ready() || !state->reference->Ready())
            return OpenSslError("raw RSA set-up");
        // The private operation is given the public one's result, so its
        // answer is known twice over: OpenSSL's, and the plain text.
        Bytes cipher(f.plainBytes.size());
        if (!encrypt.Run(f.plainBytes.data(), cipher.data(), cipher.size()))
            return OpenSslError("EVP_PKEY_encrypt");
        state->inBytes = privateOperation ? cipher : f.plainBytes;
        state->in = checks::support::WordsFromBigEndian(state->inBytes, f.words);
        state->outBytes.assign(state->inBytes.size(), 0);
        if (!state->reference->Run(state->inBytes.data(), state->outBytes.data(), state->outBytes.size()))
            return OpenSslError(privateOperation ? "EVP_PKEY_decrypt" : "EVP_PKEY_encrypt");
        state->expected = checks::support::WordsFromBigEndian(state->outBytes, f.words);
        state->out.assign(f.words, 0);
        if (std::string failure = state->Call(privateOperation, call); !failure.empty())
            return failure;
        return state->CheckAnswer(call);
    };
    op.ours = [state, privateOperation, call](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (std::string failure = state->Call(privateOperation, call); !failure.empty())
                return failure;
        return {};
    };
    op.verify = [state, call]() { return state->CheckAnswer(call); };
    op.reference = [state, privateOperation](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (!state->reference->Run(state->inBytes.data(), state->outBytes.data(), state->outBytes.size()))
                return OpenSslError(privateOperation ? "EVP_PKEY_decrypt" : "EVP_PKEY_encrypt");
        return {};
    };
    return op;
}

Operation DesOperation()
{
    struct State {
        ComPtr<IUserDES> des;
        harness::DesWords key{}, block{};
        std::array<std::uint8_t, 8> expected{};
        harness::DesRoundTrip last;

        std::string CheckAnswer() const
        {
            const auto* key8 = reinterpret_cast<const std::uint8_t*>(key.data());
            const auto* block8 = reinterpret_cast<const std::uint8_t*>(block.data());
            if (last.failure)
                return harness::FailureText(*last.failure);
            if (std::memcmp(last.encoded->data(), expected.data(), 8) != 0)
                return Mismatch("Encrypt of " + Hex(block8, 8) + " under the key " + Hex(key8, 8),
                                Hex(last.encoded->data(), 8), Hex(expected.data(), 8));
            if (*last.decoded != block)
                return Mismatch("Decrypt of Encrypt's result", Hex(last.decoded->data(), 8), Hex(block8, 8));
            return {};
        }
    };
    auto state = std::make_shared<State>();
    Operation op;
    op.name = "des.round-trip";
    op.description = "SetKey, Encrypt and Decrypt of one block";
    op.bytes = 8;
    op.referenceName = "DES_ecb_encrypt";
    op.prepare = [state]() -> std::string {
        std::string error;
        state->des = Create<IUserDES>(CryptoClassKind::UserDes, error);
        if (!state->des)
            return error;
        const Bytes random = RandomBytes(16, 8);
        std::memcpy(state->key.data(), random.data(), 8);
        std::memcpy(state->block.data(), random.data() + 8, 8);
        const auto expected = checks::support::OpenSslDes(random.data(), random.data() + 8, true);
        std::memcpy(state->expected.data(), expected.data(), 8);
        state->last = harness::RunDesRoundTrip(*state->des, state->key, state->block);
        return state->CheckAnswer();
    };
    op.ours = [state](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (state->last = harness::RunDesRoundTrip(*state->des, state->key, state->block); state->last.failure)
                return harness::FailureText(*state->last.failure);
        return {};
    };
    op.verify = [state]() { return state->CheckAnswer(); };
    op.reference = [state](std::size_t calls) -> std::string {
        const auto* key = reinterpret_cast<const std::uint8_t*>(state->key.data());
        std::uint8_t block[8];
        std::memcpy(block, state->block.data(), 8);
        for (std::size_t i = 0; i < calls; ++i)
            checks::support::OpenSslDesRoundTrip(key, block);
        return {};
    };
    return op;
}

std::string SizeName(std::size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + "m";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + "k";
    return std::to_string(bytes);
}

template <class Interface>
Operation HashOperation(CryptoClassKind kind, const char* word, const char* digestName, std::size_t bytes)
{
    struct State {
        ComPtr<Interface> hash;
        std::unique_ptr<Digest> reference;
        Bytes data;
        // The component's last digest, OpenSSL's known one, and where the
        // timed reference writes its own.
        std::uint8_t digest[64], expected[64], referenceDigest[64];
    };
    auto state = std::make_shared<State>();
    Operation op;
    op.name = std::string(word) + "." + SizeName(bytes);
    op.description = std::string(digestName) + " HashData and GetHash of " + std::to_string(bytes) + " bytes";
    op.bytes = bytes;
    op.referenceName = "EVP_Digest{Init,Update,Final}";
    const std::string prefix = kind == CryptoClassKind::HashSha1 ? "IHashSHA1::" : "IHashMD5::";
    const auto verify = [state, digestName, bytes]() -> std::string {
        const std::size_t size = state->reference->Size();
        if (std::memcmp(state->digest, state->expected, size) == 0)
            return {};
        return Mismatch(std::string(digestName) + " of " + std::to_string(bytes) + " bytes", Hex(state->digest, size),
                        Hex(state->expected, size));
    };
    op.verify = verify;
    op.prepare = [state, kind, digestName, bytes, prefix, verify]() -> std::string {
        std::string error;
        state->hash = Create<Interface>(kind, error);
        if (!state->hash)
            return error;
        state->reference = std::make_unique<Digest>(digestName);
        if (!state->reference->Ready())
            return OpenSslError(std::string("fetching ") + digestName);
        state->data = RandomBytes(bytes, bytes);
        if (!state->reference->Run(state->data.data(), bytes, state->expected))
            return OpenSslError(digestName);
        if (const HRESULT hr = state->hash->HashData(state->data.data(), static_cast<std::uint32_t>(bytes)); FAILED(hr))
            return harness::FailedCallText(prefix + "HashData", hr);
        std::memset(state->digest, 0, sizeof state->digest);
        if (const HRESULT hr = state->hash->GetHash(state->digest); FAILED(hr))
            return harness::FailedCallText(prefix + "GetHash", hr);
        return verify();
    };
    op.ours = [state, bytes, prefix](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i) {
            if (const HRESULT hr = state->hash->HashData(state->data.data(), static_cast<std::uint32_t>(bytes));
                FAILED(hr))
                return harness::FailedCallText(prefix + "HashData", hr);
            if (const HRESULT hr = state->hash->GetHash(state->digest); FAILED(hr))
                return harness::FailedCallText(prefix + "GetHash", hr);
        }
        return {};
    };
    op.reference = [state, bytes, digestName](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i)
            if (!state->reference->Run(state->data.data(), bytes, state->referenceDigest))
                return OpenSslError(digestName);
        return {};
    };
    return op;
}

// The SHA-1 dialog's whole sequence on a file: mapped, hashed in one call,
// checked for changes, the unmapping of a large file handed to a thread (as
// the dialog shows its digest without waiting for it); against one EVP
// digest over a mapping made the same way.
Operation FileOperation(const std::string& path)
{
    struct State {
        ComPtr<IHashSHA1> sha1;
        std::unique_ptr<Digest> reference;
        std::uint8_t expected[20];
        std::optional<harness::FileSha1> last;
    };
    auto state = std::make_shared<State>();
    Operation op;
    op.name = "sha1.file";
    op.description = "the SHA-1 test's FileName sequence on " + path;
    op.referenceName = "EVP_Digest over a mapping";
    {
        MappedFile probe;
        if (probe.Open(path) == MappedFile::Status::Ok)
            op.bytes = probe.Size();
    }
    auto mappedDigest = [state, path](std::uint8_t* digest) -> std::string {
        MappedFile file;
        if (file.Open(path) != MappedFile::Status::Ok)
            return "cannot map " + path + ": " + file.ErrorText();
        if (!state->reference->Run(file.Data(), file.Size(), digest))
            return OpenSslError("SHA1");
        return {};
    };
    const auto verify = [state, path]() -> std::string {
        if (std::memcmp(state->last->digest.data(), state->expected, 20) == 0)
            return {};
        return Mismatch("SHA-1 of " + path + " (" + std::to_string(state->last->bytes) + " bytes)",
                        Hex(state->last->digest.data(), 20), Hex(state->expected, 20));
    };
    op.prepare = [state, path, mappedDigest, verify]() -> std::string {
        std::string error;
        state->sha1 = Create<IHashSHA1>(CryptoClassKind::HashSha1, error);
        if (!state->sha1)
            return error;
        state->reference = std::make_unique<Digest>("SHA1");
        if (!state->reference->Ready())
            return OpenSslError("fetching SHA1");
        auto hashed = harness::Sha1OfFile(*state->sha1, path);
        if (!hashed)
            return harness::FailureText(hashed.Failure());
        state->last = std::move(hashed.Value());
        if (error = mappedDigest(state->expected); !error.empty())
            return error;
        return verify();
    };
    op.ours = [state, path](std::size_t calls) -> std::string {
        for (std::size_t i = 0; i < calls; ++i) {
            auto hashed = harness::Sha1OfFile(*state->sha1, path);
            if (!hashed)
                return harness::FailureText(hashed.Failure());
            state->last = std::move(hashed.Value());
        }
        return {};
    };
    op.verify = verify;
    op.reference = [mappedDigest](std::size_t calls) -> std::string {
        std::uint8_t digest[20];
        for (std::size_t i = 0; i < calls; ++i)
            if (std::string error = mappedDigest(digest); !error.empty())
                return error;
        return {};
    };
    return op;
}

}  // namespace

std::vector<Operation> BenchOperations(const std::optional<std::string>& filePath)
{
    static const std::uint32_t kKeyWords[] = {16, 32, 64, 128};
    std::vector<Operation> ops;
    for (const std::uint32_t words : kKeyWords)
        ops.push_back(KeyGeneration(words));
    for (const std::uint32_t words : kKeyWords) {
        auto fixture = std::make_shared<RsaFixture>();
        fixture->words = words;
        ops.push_back(RsaOperation(fixture, false));
        ops.push_back(RsaOperation(fixture, true));
    }
    ops.push_back(DesOperation());
    for (const std::size_t bytes : {std::size_t(64), std::size_t(1024), std::size_t(16384), std::size_t(1) << 20})
        ops.push_back(HashOperation<IHashSHA1>(CryptoClassKind::HashSha1, "sha1", "SHA1", bytes));
    if (filePath)
        ops.push_back(FileOperation(*filePath));
    ops.push_back(HashOperation<IHashMD5>(CryptoClassKind::HashMd5, "md5", "MD5", 40));
    return ops;
}

}  // namespace bench
