#include "runner/xml_text.h"

#include "runner/utf8_text.h"

namespace checks {
namespace {

bool XmlCanCarry(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           c >= 0x10000;
}

std::string Escaped(const std::string& text, bool attribute)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = Utf8SequenceAt(text, at, c);
        if (length == 0 || !XmlCanCarry(c)) {
            for (std::size_t i = 0; i < (length ? length : 1); ++i)
                out += ShownByte(static_cast<unsigned char>(text[at + i]));
            at += length ? length : 1;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            out.append(text, at, length);
        }
        at += length;
    }
    return out;
}

}  // namespace

std::string XmlText(const std::string& text)
{
    return Escaped(text, false);
}

std::string XmlAttribute(const std::string& text)
{
    return Escaped(text, true);
}

}  // namespace checks
