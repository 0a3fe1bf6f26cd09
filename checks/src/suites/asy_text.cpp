#include "suites/asy_text.h"

#include <common/hex_format.h>

#include <openssl/bn.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace checks::support {

const std::array<const char*, 10> kAsyFields = {"user-id", "code",    "base",       "public-key", "private-key",
                                                "prime-p", "prime-q", "exponent-p", "exponent-q", "coefficient"};

namespace {

constexpr std::string_view kHeader = "tarvel-asy 1";

// Length of the well-formed UTF-8 sequence of two to four bytes at text[i],
// 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    else
        return 0;
    if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

// The text of a value; spelling is set when a byte that should have been
// escaped stands as is.
std::optional<std::string> Unescape(std::string_view value, bool& spelling)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '%') {
            if (i + 2 >= value.size())
                return std::nullopt;
            const int high = HexDigitValue(value[i + 1]), low = HexDigitValue(value[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t length = Utf8Length(value, i)) {
                out.append(value.substr(i, length));
                i += length - 1;
                continue;
            }
        }
        if (c < 0x20 || c >= 0x7F)
            spelling = true;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::string Hex(const Words& number)
{
    Bignum value = ToBignum(number);
    if (BN_is_zero(value.get()))
        return number.empty() ? "" : "0";
    char* text = BN_bn2hex(value.get());
    std::string hex = text ? text : "";
    OPENSSL_free(text);
    std::transform(hex.begin(), hex.end(), hex.begin(), [](unsigned char c) { return std::tolower(c); });
    hex.erase(0, std::min(hex.find_first_not_of('0'), hex.size() - 1));
    return hex;
}

}  // namespace

std::string EscapeAsyText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '%') {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = c >= 0x80 ? Utf8Length(text, i) : 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += '%';
            AppendHexByte(out, c);
            ++i;
        }
    }
    return out;
}

std::string FormatAsyRecord(const AsyRecord& record)
{
    std::string out = std::string(kHeader) + "\n";
    out += std::string(kAsyFields[0]) + "=" + EscapeAsyText(record.userId) + "\n";
    out += std::string(kAsyFields[1]) + "=" + EscapeAsyText(record.code) + "\n";
    for (std::size_t i = 0; i < record.numbers.size(); ++i)
        out += std::string(kAsyFields[2 + i]) + "=" + Hex(record.numbers[i]) + "\n";
    return out;
}

AsyReading ReadAsyRecord(std::string_view text)
{
    AsyReading reading;
    auto problem = [&](std::string what, bool spelling = false) {
        if (reading.problem.empty()) {
            reading.problem = std::move(what);
            reading.onlySpelling = spelling;
        } else if (!spelling) {
            reading.onlySpelling = false;
        }
    };
    std::array<int, 10> seenAt{};
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != kHeader) {
                problem("the first line is '" + std::string(line.substr(0, 40)) + "', not '" + std::string(kHeader) +
                        "'");
                return reading;
            }
            continue;
        }
        const std::string where = " (line " + std::to_string(lineNumber) + ")";
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            problem("a line without '='" + where + ": '" + std::string(line.substr(0, 40)) + "'");
            continue;
        }
        const std::string name(line.substr(0, equals));
        const std::string_view value = line.substr(equals + 1);
        const auto field = std::find(kAsyFields.begin(), kAsyFields.end(), name);
        if (field == kAsyFields.end()) {
            problem("an unknown field '" + name.substr(0, 40) + "'" + where);
            continue;
        }
        const auto index = static_cast<std::size_t>(field - kAsyFields.begin());
        if (seenAt[index]) {
            problem("the field " + name + " twice (lines " + std::to_string(seenAt[index]) + " and " +
                    std::to_string(lineNumber) + ")");
            continue;
        }
        seenAt[index] = lineNumber;
        if (index < 2) {
            bool spelling = false;
            const auto unescaped = Unescape(value, spelling);
            if (!unescaped) {
                problem("a broken %-escape in " + name + where);
                continue;
            }
            if (spelling)
                problem(name + " holds bytes that should be written as %HH" + where, true);
            (index == 0 ? reading.record.userId : reading.record.code) = *unescaped;
            continue;
        }
        Words& number = reading.record.numbers[index - 2];
        if (value.empty())
            continue;  // an absent number
        if (!std::all_of(value.begin(), value.end(), [](char c) { return HexDigitValue(c) >= 0; })) {
            problem(name + " is not hex" + where);
            continue;
        }
        if (std::any_of(value.begin(), value.end(), [](char c) { return c >= 'A' && c <= 'F'; }) ||
            (value.size() > 1 && value[0] == '0'))
            problem(name + " is not lowercase hex without leading zeros" + where, true);
        Bytes bytes((value.size() + 1) / 2, 0);
        for (std::size_t k = 0; k < value.size(); ++k) {
            const int digit = HexDigitValue(value[value.size() - 1 - k]);
            bytes[bytes.size() - 1 - k / 2] |= static_cast<std::uint8_t>(k % 2 ? digit << 4 : digit);
        }
        number = WordsFromBigEndian(bytes);
    }
    for (std::size_t i = 0; i < kAsyFields.size(); ++i)
        if (!seenAt[i])
            problem(std::string("no field ") + kAsyFields[i]);
    return reading;
}

}  // namespace checks::support
