#include "runner/utf8_text.h"

#include <common/hex_format.h>

namespace checks {

std::size_t Utf8SequenceAt(const std::string& text, std::size_t at, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0, lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;  // a continuation byte, C0/C1 (always overlong) or F5..FF
    }
    if (text.size() - at < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

std::string ShownByte(unsigned char byte)
{
    std::string text = "\\x";
    AppendHexByte(text, byte);
    return text;
}

std::string ValidUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        if (const std::size_t length = Utf8SequenceAt(text, at, codePoint)) {
            out.append(text, at, length);
            at += length;
        } else {
            out += ShownByte(static_cast<unsigned char>(text[at++]));
        }
    }
    return out;
}

std::string TerminalText(const std::string& text)
{
    const std::string valid = ValidUtf8(text);
    std::string out;
    for (std::size_t at = 0; at < valid.size();) {
        char32_t c = 0;
        const std::size_t length = Utf8SequenceAt(valid, at, c);  // never 0 in valid text
        // C1 controls too: a terminal reads U+009B as the start of a
        // colour or cursor sequence, as it reads ESC [.
        const bool control = (c < 0x20 && c != '\n' && c != '\t') || (c >= 0x7F && c <= 0x9F);
        for (std::size_t i = 0; i < length; ++i)
            out += control ? ShownByte(static_cast<unsigned char>(valid[at + i])) : std::string(1, valid[at + i]);
        at += length;
    }
    return out;
}

}  // namespace checks
