#include "user_rsa.h"

#include "asy_record.h"
#include "atomic_file.h"
#include <tarvel/call_guard.h>
#include "rsa_key_generator.h"
#include "rsa_key_pem.h"
#include "status.h"
#include "text_file.h"
#include "word_codec.h"

#include <openssl/crypto.h>

#include <cstring>

namespace tarvel::component {
namespace {

// Copies a held text out by the same size protocol as the numbers, with room
// for a terminator.
HRESULT CopyText(const std::string& source, char* text, std::uint32_t* length)
{
    if (!length)
        return E_POINTER;
    const auto needed = static_cast<std::uint32_t>(source.size());
    if (!text) {
        *length = needed;
        return S_OK;
    }
    if (*length <= needed) {
        *length = needed;
        return kInsufficientBuffer;
    }
    std::memcpy(text, source.data(), needed);
    text[needed] = '\0';
    *length = needed;
    return S_OK;
}

// The getters report a zero number and an absent one alike (no words), so a
// zero exponent could not be copied faithfully from one object to another.
bool IsZeroExponent(RsaPart part, const BIGNUM* number)
{
    return (part == RsaPart::PublicKey || part == RsaPart::PrivateKey) && number && BN_is_zero(number);
}

bool HasZeroExponent(const RsaNumbers& numbers)
{
    return IsZeroExponent(RsaPart::PublicKey, numbers.Get(RsaPart::PublicKey)) ||
           IsZeroExponent(RsaPart::PrivateKey, numbers.Get(RsaPart::PrivateKey));
}

// Wipes a text that held key numbers once it is no longer needed.
struct WipeOnExit {
    std::string& text;
    ~WipeOnExit() { OPENSSL_cleanse(text.data(), text.size()); }
};

}  // namespace

RsaEngine* UserRsa::Engine()
{
    const BIGNUM* base = m_numbers.Get(RsaPart::Base);
    if (!base || BN_is_zero(base))
        return nullptr;
    if (!m_engine)
        m_engine = std::make_unique<RsaEngine>(m_numbers);
    return m_engine.get();
}

HRESULT UserRsa::Clear()
{
    return GuardedCall([&] {
        m_numbers = RsaNumbers();
        m_userId.clear();
        m_code.clear();
        KeyChanged();
        return S_OK;
    });
}

HRESULT UserRsa::GenerateKey(const char* userId, std::uint32_t keyWords)
{
    return GuardedCall([&] {
        if (!userId)
            return E_POINTER;
        const std::size_t idLength = strnlen(userId, kMaxTextBytes + 1);
        if (keyWords == 0 || keyWords > kMaxKeyWords || idLength > kMaxTextBytes)
            return E_INVALIDARG;
        RsaNumbers numbers = GenerateRsaNumbers(keyWords);
        std::string id(userId, idLength);
        // Nothing below throws, so the object never ends up half replaced.
        m_numbers = std::move(numbers);
        m_userId.swap(id);
        m_code.clear();
        KeyChanged();
        return S_OK;
    });
}

HRESULT UserRsa::GetKeyLength(std::uint32_t* words)
{
    return GuardedCall([&] {
        if (!words)
            return E_POINTER;
        const BIGNUM* base = m_numbers.Get(RsaPart::Base);
        *words = base ? WordCount(base) : 0;
        return S_OK;
    });
}

HRESULT UserRsa::Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out, std::uint32_t* outWords)
{
    return Transform(Direction::Encrypt, in, inWords, out, outWords);
}

HRESULT UserRsa::Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out, std::uint32_t* outWords)
{
    return Transform(Direction::Decrypt, in, inWords, out, outWords);
}

HRESULT UserRsa::Transform(Direction direction, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                           std::uint32_t* outWords)
{
    return GuardedCall([&] {
        if (!in || !out || !outWords)
            return E_POINTER;
        RsaEngine* engine = Engine();
        if (!engine)
            return E_FAIL;
        const std::uint32_t keyWords = engine->KeyWords();
        if (inWords != keyWords)
            return E_INVALIDARG;
        if (*outWords < keyWords) {
            *outWords = keyWords;
            return kInsufficientBuffer;
        }
        if (direction == Direction::Decrypt && engine->DecryptsWords()) {
            const HRESULT hr = engine->DecryptWords(in, out);
            if (SUCCEEDED(hr))
                *outWords = keyWords;
            return hr;
        }
        BignumPtr input = WordsToBignum(in, inWords);
        if (BN_cmp(input.get(), engine->Base()) >= 0)
            return E_INVALIDARG;
        BignumPtr output = NewBignum();
        const HRESULT hr = direction == Direction::Encrypt ? engine->Encrypt(input.get(), output.get())
                                                           : engine->Decrypt(input.get(), output.get());
        if (FAILED(hr))
            return hr;
        // The input is fully read before the output is written, so in and
        // out may be the same buffer.
        BignumToWords(output.get(), out, keyWords);
        *outWords = keyWords;
        return S_OK;
    });
}

HRESULT UserRsa::GetUserId(char* text, std::uint32_t* length)
{
    return GuardedCall([&] { return CopyText(m_userId, text, length); });
}

HRESULT UserRsa::GetCode(char* text, std::uint32_t* length)
{
    return GuardedCall([&] { return CopyText(m_code, text, length); });
}

HRESULT UserRsa::SaveWkyFile(const char* path)
{
    return GuardedCall([&] {
        if (!path)
            return E_POINTER;
        RsaEngine* engine = Engine();
        if (!engine)
            return E_FAIL;
        const PkeyPtr key = engine->PublicKey();
        return SavePem(path, PublicKeyPem(key.get()), FileAccess::Public);
    });
}

HRESULT UserRsa::SaveRkyFile(const char* path)
{
    return GuardedCall([&] {
        if (!path)
            return E_POINTER;
        RsaEngine* engine = Engine();
        if (!engine || !engine->PrivateKey())
            return E_FAIL;
        return SavePem(path, PrivateKeyPem(engine->PrivateKey()), FileAccess::OwnerOnly);
    });
}

HRESULT UserRsa::SaveAsyFile(const char* path)
{
    return GuardedCall([&] {
        if (!path)
            return E_POINTER;
        if (!Engine())
            return E_FAIL;
        AsyRecord record;
        record.userId = m_userId;
        record.code = m_code;
        for (std::size_t i = 0; i < kRsaPartCount; ++i)
            if (m_numbers.parts[i])
                record.numbers.parts[i] = CopyBignum(m_numbers.parts[i].get());
        std::string text = FormatAsyRecord(record);
        WipeOnExit wipe{text};
        return WriteFileAtomically(path, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                   FileAccess::OwnerOnly);
    });
}

HRESULT UserRsa::LoadAsyFile(const char* path)
{
    return GuardedCall([&] {
        if (!path)
            return E_POINTER;
        std::string text;
        WipeOnExit wipe{text};
        const HRESULT hr = ReadSmallTextFile(path, kMaxAsyRecordBytes, text);
        if (FAILED(hr))
            return hr;
        std::optional<AsyRecord> record = ParseAsyRecord(text);
        const BIGNUM* base = record ? record->numbers.Get(RsaPart::Base) : nullptr;
        if (!base || BN_is_zero(base) || WordCount(base) > kMaxKeyWords)
            return E_FAIL;
        if (HasZeroExponent(record->numbers))
            return E_INVALIDARG;
        m_numbers = std::move(record->numbers);
        m_userId.swap(record->userId);
        m_code.swap(record->code);
        KeyChanged();
        return S_OK;
    });
}

HRESULT UserRsa::GetPart(RsaPart part, std::uint32_t* words, std::uint32_t* count)
{
    return GuardedCall([&] {
        if (!count)
            return E_POINTER;
        const BIGNUM* number = m_numbers.Get(part);
        const std::uint32_t needed = number ? WordCount(number) : 0;
        if (!words) {
            *count = needed;
            return S_OK;
        }
        if (*count < needed) {
            *count = needed;
            return kInsufficientBuffer;
        }
        if (needed > 0)
            BignumToWords(number, words, needed);
        *count = needed;
        return S_OK;
    });
}

HRESULT UserRsa::SetPart(RsaPart part, const std::uint32_t* words, std::uint32_t count)
{
    return GuardedCall([&] {
        if (!words && count > 0)
            return E_POINTER;
        if (count > kLargestNumberWords)
            return E_INVALIDARG;
        BignumPtr number = count > 0 ? WordsToBignum(words, count) : BignumPtr();
        if (IsZeroExponent(part, number.get()))
            return E_INVALIDARG;
        m_numbers.Set(part, std::move(number));
        KeyChanged();
        return S_OK;
    });
}

HRESULT UserRsa::SetText(std::string& target, const char* text, std::uint32_t length)
{
    return GuardedCall([&] {
        if (!text && length > 0)
            return E_POINTER;
        if (length > kMaxTextBytes)
            return E_INVALIDARG;
        target.assign(text ? text : "", length);
        return S_OK;
    });
}

HRESULT UserRsa::SetUserId(const char* text, std::uint32_t length)
{
    return SetText(m_userId, text, length);
}

HRESULT UserRsa::SetCode(const char* text, std::uint32_t length)
{
    return SetText(m_code, text, length);
}

// clang-format off
HRESULT UserRsa::GetBase(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::Base, w, c); }
HRESULT UserRsa::GetPublicKey(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::PublicKey, w, c); }
HRESULT UserRsa::GetPrivateKey(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::PrivateKey, w, c); }
HRESULT UserRsa::GetKeyPart4(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::PrimeP, w, c); }
HRESULT UserRsa::GetKeyPart5(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::PrimeQ, w, c); }
HRESULT UserRsa::GetKeyPart6(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::ExponentP, w, c); }
HRESULT UserRsa::GetKeyPart7(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::ExponentQ, w, c); }
HRESULT UserRsa::GetKeyPart8(std::uint32_t* w, std::uint32_t* c) { return GetPart(RsaPart::Coefficient, w, c); }
HRESULT UserRsa::SetBase(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::Base, w, c); }
HRESULT UserRsa::SetPublicKey(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::PublicKey, w, c); }
HRESULT UserRsa::SetPrivateKey(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::PrivateKey, w, c); }
HRESULT UserRsa::SetKeyPart4(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::PrimeP, w, c); }
HRESULT UserRsa::SetKeyPart5(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::PrimeQ, w, c); }
HRESULT UserRsa::SetKeyPart6(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::ExponentP, w, c); }
HRESULT UserRsa::SetKeyPart7(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::ExponentQ, w, c); }
HRESULT UserRsa::SetKeyPart8(const std::uint32_t* w, std::uint32_t c) { return SetPart(RsaPart::Coefficient, w, c); }
// clang-format on

}  // namespace tarvel::component
