#include "fake_rsa.h"

#include "fake_component_control.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace fake {

namespace {

constexpr std::uint32_t kMaxKeyWords = 256;

// True when a (count words) is below b (count words), whole numbers compared.
bool IsBelow(const std::uint32_t* a, const std::vector<std::uint32_t>& b)
{
    for (std::size_t i = b.size(); i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    return false;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

HRESULT FakeRsa::Clear()
{
    return RecordedCall(*this, "Clear", [&](CallRecorder&) {
        for (auto& number : m_numbers)
            number.clear();
        m_userId.clear();
        m_code.clear();
        return S_OK;
    });
}

HRESULT FakeRsa::GenerateKey(const char* userId, std::uint32_t keyWords)
{
    const auto recordArgs = [&](CallRecorder& call) {
        call.Arg("userId", userId ? std::string(userId) : "null");
        call.Arg("keyWords", keyWords);
    };
    return RecordedCall(*this, "GenerateKey", recordArgs, [&](CallRecorder&) {
        if (!userId)
            return E_POINTER;
        if (keyWords == 0 || keyWords > kMaxKeyWords)
            return E_INVALIDARG;
        for (int part = 1; part <= 8; ++part) {
            auto& number = m_numbers[static_cast<std::size_t>(part - 1)];
            number.resize(FakeKeyWords(part, keyWords));
            for (std::uint32_t i = 0; i < number.size(); ++i)
                number[i] = FakeKeyWord(part, keyWords, i);
        }
        m_userId = userId;
        m_code = "fake-code-" + std::to_string(keyWords);
        return S_OK;
    });
}

std::uint32_t FakeRsa::KeyWords() const
{
    return static_cast<std::uint32_t>(m_numbers[0].size());
}

HRESULT FakeRsa::GetKeyLength(std::uint32_t* words)
{
    return RecordedCall(*this, "GetKeyLength", [&](CallRecorder& call) {
        return AnswerWord(call, "words", words, call.ReportedCount().value_or(KeyWords()));
    });
}

HRESULT FakeRsa::Transform(const char* method, bool encrypt, const std::uint32_t* in, std::uint32_t inWords,
                           std::uint32_t* out, std::uint32_t* outWords)
{
    const auto recordArgs = [&](CallRecorder& call) {
        // A component reads no input of the wrong length, so neither does the record.
        call.Arg("in", inWords <= KeyWords() ? FormatWords(in, inWords) : "unread");
        call.Arg("inWords", inWords);
        call.Arg("capacity", outWords ? std::to_string(*outWords) : "null");
    };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder& call) {
        const std::uint32_t keyWords = KeyWords();
        if (!in || !out || !outWords)
            return E_POINTER;
        if (keyWords == 0)
            return E_FAIL;
        if (inWords != keyWords || *outWords < keyWords)
            return E_INVALIDARG;
        if (encrypt && !IsBelow(in, m_numbers[0]))
            return E_INVALIDARG;
        const std::uint32_t produced = call.ReportedCount().value_or(keyWords);
        const std::uint32_t written = std::min(produced, *outWords);
        for (std::uint32_t i = 0; i < written; ++i)
            out[i] = i < keyWords ? in[i] ^ kFakeRsaMask : 0;
        *outWords = produced;
        call.Out("outWords", produced);
        call.Out("out", FormatWords(out, written));
        return S_OK;
    });
}

HRESULT FakeRsa::Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out, std::uint32_t* outWords)
{
    return Transform("Encrypt", true, in, inWords, out, outWords);
}

HRESULT FakeRsa::Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out, std::uint32_t* outWords)
{
    return Transform("Decrypt", false, in, inWords, out, outWords);
}

namespace {

// Records a buffer argument by presence only, and its capacity when both are given.
template <class T>
void RecordBuffer(CallRecorder& call, const char* bufferName, const T* buffer, const char* sizeName,
                  const std::uint32_t* size)
{
    call.Arg(bufferName, buffer ? "buffer" : "null");
    if (buffer && size)
        call.Arg(sizeName, *size);
}

}  // namespace

HRESULT FakeRsa::GetText(const char* method, const std::string& value, char* text, std::uint32_t* length)
{
    const auto recordArgs = [&](CallRecorder& call) { RecordBuffer(call, "text", text, "length", length); };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder& call) {
        if (!length)
            return E_POINTER;
        const auto needed = static_cast<std::uint32_t>(value.size());
        if (text) {
            if (*length <= needed)
                return E_INVALIDARG;
            std::copy(value.begin(), value.end(), text);
            text[needed] = '\0';
            call.Out("text", value);
        }
        *length = needed;
        call.Out("length", needed);
        return S_OK;
    });
}

HRESULT FakeRsa::SetText(const char* method, std::string& value, const char* text, std::uint32_t length)
{
    const auto recordArgs = [&](CallRecorder& call) {
        call.Arg("text", text ? std::string(text, length) : "null");
        call.Arg("length", length);
    };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder&) {
        if (!text && length > 0)
            return E_POINTER;
        value.assign(text ? text : "", length);
        return S_OK;
    });
}

HRESULT FakeRsa::GetUserId(char* text, std::uint32_t* length)
{
    return GetText("GetUserId", m_userId, text, length);
}

HRESULT FakeRsa::GetCode(char* text, std::uint32_t* length)
{
    return GetText("GetCode", m_code, text, length);
}

HRESULT FakeRsa::SetUserId(const char* text, std::uint32_t length)
{
    return SetText("SetUserId", m_userId, text, length);
}

HRESULT FakeRsa::SetCode(const char* text, std::uint32_t length)
{
    return SetText("SetCode", m_code, text, length);
}

namespace {

void RecordPath(CallRecorder& call, const char* path)
{
    call.Arg("path", path ? std::string(path) : "null");
}

}  // namespace

HRESULT FakeRsa::Save(const char* method, const char* kind, const char* path)
{
    return RecordedCall(
        *this, method, [&](CallRecorder& call) { RecordPath(call, path); },
        [&](CallRecorder& call) {
            if (!path)
                return E_POINTER;
            if (call.WriteFiles()) {
                std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "w"));
                if (!file || std::fprintf(file.get(), "fake %s file\n", kind) < 0)
                    return E_FAIL;
            }
            return S_OK;
        });
}

HRESULT FakeRsa::SaveWkyFile(const char* path)
{
    return Save("SaveWkyFile", "wky", path);
}

HRESULT FakeRsa::SaveRkyFile(const char* path)
{
    return Save("SaveRkyFile", "rky", path);
}

HRESULT FakeRsa::SaveAsyFile(const char* path)
{
    return Save("SaveAsyFile", "asy", path);
}

HRESULT FakeRsa::LoadAsyFile(const char* path)
{
    return RecordedCall(
        *this, "LoadAsyFile", [&](CallRecorder& call) { RecordPath(call, path); },
        [](CallRecorder&) { return E_NOTIMPL; });
}

HRESULT FakeRsa::GetNumber(const char* method, int part, std::uint32_t* words, std::uint32_t* count)
{
    const auto recordArgs = [&](CallRecorder& call) { RecordBuffer(call, "words", words, "count", count); };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder& call) {
        if (!count)
            return E_POINTER;
        const std::vector<std::uint32_t>& number = m_numbers[static_cast<std::size_t>(part - 1)];
        // A reported count is taken as the number's length: the words past
        // the real number are zeros, written only into the caller's buffer
        // so that an absurd count costs the fake nothing.
        const auto needed = call.ReportedCount().value_or(static_cast<std::uint32_t>(number.size()));
        if (words) {
            if (*count < needed)
                return E_INVALIDARG;
            const std::size_t real = std::min<std::size_t>(number.size(), needed);
            std::copy_n(number.begin(), real, words);
            std::fill(words + real, words + needed, 0u);
            call.Out("words", FormatWords(words, needed));
        }
        *count = needed;
        call.Out("count", needed);
        return S_OK;
    });
}

HRESULT FakeRsa::SetNumber(const char* method, int part, const std::uint32_t* words, std::uint32_t count)
{
    const auto recordArgs = [&](CallRecorder& call) {
        call.Arg("words", FormatWords(words, count));
        call.Arg("count", count);
    };
    return RecordedCall(*this, method, recordArgs, [&](CallRecorder&) {
        if (!words && count > 0)
            return E_POINTER;
        if (count > 2 * kMaxKeyWords)
            return E_INVALIDARG;
        m_numbers[static_cast<std::size_t>(part - 1)].assign(words, words + count);
        return S_OK;
    });
}

}  // namespace fake
