#include "asy_record.h"

#include "secure_bytes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tarvel::component {
namespace {

constexpr std::string_view kHeader = "tarvel-asy 1";
constexpr std::string_view kUserIdName = "user-id";
constexpr std::string_view kCodeName = "code";
constexpr std::array<std::string_view, kRsaPartCount> kNumberNames = {
    "base", "public-key", "private-key", "prime-p", "prime-q", "exponent-p", "exponent-q", "coefficient"};
constexpr char kHexDigits[] = "0123456789abcdef";

// The well-formed UTF-8 sequences of two to four bytes, as the Unicode
// standard tables them: the lead byte's range, the sequence's length and the
// range of its second byte; every later byte is 80..BF. Overlong forms and
// surrogates fall outside.
struct Utf8Form {
    unsigned char leadLow, leadHigh;
    std::size_t length;
    unsigned char secondLow, secondHigh;
};
constexpr Utf8Form kUtf8Forms[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Length of the well-formed UTF-8 sequence of two to four bytes at text[i],
// or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const auto form = std::ranges::find_if(
        kUtf8Forms, [lead = byte(i)](const Utf8Form& f) { return lead >= f.leadLow && lead <= f.leadHigh; });
    if (form == std::ranges::end(kUtf8Forms) || i + form->length > text.size())
        return 0;
    if (byte(i + 1) < form->secondLow || byte(i + 1) > form->secondHigh)
        return 0;
    for (std::size_t k = 2; k < form->length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return form->length;
}

void AppendEscaped(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '%') {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = c >= 0x80 ? Utf8SequenceLength(text, i) : 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out.push_back('%');
            out.push_back(kHexDigits[c >> 4]);
            out.push_back(kHexDigits[c & 0xF]);
            ++i;
        }
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (out.size() > kMaxTextBytes)
        return std::nullopt;
    return out;
}

void AppendHex(std::string& out, const BIGNUM* number)
{
    if (!number)
        return;
    if (BN_is_zero(number)) {
        out.push_back('0');
        return;
    }
    SecureBytes bytes(static_cast<std::size_t>(BN_num_bytes(number)));
    BN_bn2bin(number, bytes.data());
    bool leading = true;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = bytes.data()[i];
        if (!(leading && (b >> 4) == 0))
            out.push_back(kHexDigits[b >> 4]);
        out.push_back(kHexDigits[b & 0xF]);
        leading = false;
    }
}

// Empty text: the number is absent (a null pointer in the result).
std::optional<BignumPtr> ParseHex(std::string_view text)
{
    if (text.empty())
        return BignumPtr();
    if (text.size() > std::size_t{kLargestNumberWords} * 8)
        return std::nullopt;
    SecureBytes bytes((text.size() + 1) / 2);
    // Digits fill the bytes from the least significant end.
    for (std::size_t k = 0; k < text.size(); ++k) {
        const int value = HexValue(text[text.size() - 1 - k]);
        if (value < 0)
            return std::nullopt;
        bytes.data()[bytes.size() - 1 - k / 2] |= static_cast<unsigned char>(k % 2 ? value << 4 : value);
    }
    BignumPtr number = NewBignum();
    if (!BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), number.get()))
        return std::nullopt;
    return number;
}

void AppendLine(std::string& out, std::string_view name, auto&& appendValue)
{
    out.append(name);
    out.push_back('=');
    appendValue(out);
    out.push_back('\n');
}

}  // namespace

std::string FormatAsyRecord(const AsyRecord& record)
{
    std::string out;
    // Reserved up front so the text never moves and leaves no copy of the
    // key behind in freed memory.
    out.reserve(kHeader.size() + 200 + 3 * (record.userId.size() + record.code.size()) +
                kRsaPartCount * (std::size_t{kLargestNumberWords} * 8 + 1));
    out.append(kHeader);
    out.push_back('\n');
    AppendLine(out, kUserIdName, [&](std::string& o) { AppendEscaped(o, record.userId); });
    AppendLine(out, kCodeName, [&](std::string& o) { AppendEscaped(o, record.code); });
    for (std::size_t i = 0; i < kRsaPartCount; ++i)
        AppendLine(out, kNumberNames[i], [&](std::string& o) { AppendHex(o, record.numbers.parts[i].get()); });
    return out;
}

std::optional<AsyRecord> ParseAsyRecord(const std::string& text)
{
    if (text.size() > kMaxAsyRecordBytes)
        return std::nullopt;
    AsyRecord record;
    constexpr std::size_t kFieldCount = 2 + kRsaPartCount;
    std::array<bool, kFieldCount> seen{};
    bool headerSeen = false;

    std::string_view rest(text);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!headerSeen) {
            if (line != kHeader)
                return std::nullopt;
            headerSeen = true;
            continue;
        }
        if (line.empty())
            continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);

        std::size_t field = kFieldCount;
        if (name == kUserIdName)
            field = 0;
        else if (name == kCodeName)
            field = 1;
        for (std::size_t i = 0; i < kRsaPartCount; ++i)
            if (name == kNumberNames[i])
                field = 2 + i;
        if (field == kFieldCount || seen[field])
            return std::nullopt;
        seen[field] = true;

        if (field < 2) {
            std::optional<std::string> unescaped = Unescape(value);
            if (!unescaped)
                return std::nullopt;
            (field == 0 ? record.userId : record.code) = std::move(*unescaped);
        } else {
            std::optional<BignumPtr> number = ParseHex(value);
            if (!number)
                return std::nullopt;
            record.numbers.parts[field - 2] = std::move(*number);
        }
    }
    for (bool present : seen)
        if (!present)
            return std::nullopt;
    return record;
}

}  // namespace tarvel::component
