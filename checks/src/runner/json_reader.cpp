#include "runner/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace checks::runner {
namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    bool Document(JsonValue& value)
    {
        if (!Value(value, 0))
            return false;
        Space();
        return m_at == m_text.size() || Fail("text after the document");
    }
    std::string error;

private:
    // Reports nest only a few levels; this keeps a hostile file from
    // exhausting the stack.
    static constexpr int kDeepest = 64;

    bool Fail(const char* what)
    {
        error = std::string(what) + " at byte " + std::to_string(m_at);
        return false;
    }
    void Space()
    {
        while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]))
            ++m_at;
    }
    bool Literal(const char* word)
    {
        const std::size_t n = std::strlen(word);
        if (m_text.compare(m_at, n, word) != 0)
            return false;
        m_at += n;
        return true;
    }
    bool String(std::string& out)
    {
        ++m_at;  // the opening quote
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            char c = m_text[m_at++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                break;
            c = m_text[m_at++];
            switch (c) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (m_at + 4 > m_text.size() || m_text.find_first_not_of("0123456789abcdefABCDEF", m_at) < m_at + 4)
                    return Fail("a \\u escape without four hex digits");
                const unsigned code = static_cast<unsigned>(std::strtoul(m_text.substr(m_at, 4).c_str(), nullptr, 16));
                m_at += 4;
                // Names and messages here are ASCII; others are kept as '?'.
                out += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            case '"':
            case '\\':
            case '/':
                out += c;
                break;
            default:
                return Fail("an unknown escape");
            }
        }
        if (m_at >= m_text.size())
            return Fail("an unterminated string");
        ++m_at;
        return true;
    }
    // The members of an object or array, from its opening bracket to close:
    // member reads one, a ',' asks for the next and close ends the list.
    template <class Member>
    bool Members(char close, Member member)
    {
        ++m_at;
        Space();
        if (m_at < m_text.size() && m_text[m_at] == close)
            return ++m_at, true;
        for (;;) {
            if (!member())
                return false;
            Space();
            if (m_at < m_text.size() && m_text[m_at] == ',') {
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] == close)
                return ++m_at, true;
            return Fail(close == '}' ? "',' or '}' expected" : "',' or ']' expected");
        }
    }
    bool Value(JsonValue& value, int depth)
    {
        if (depth > kDeepest)
            return Fail("nesting too deep");
        Space();
        if (m_at >= m_text.size())
            return Fail("the end of the text where a value belongs");
        const char c = m_text[m_at];
        if (c == '{') {
            value.kind = JsonValue::Kind::Object;
            return Members('}', [&] {
                Space();
                std::string name;
                if (m_at >= m_text.size() || m_text[m_at] != '"' || !String(name))
                    return error.empty() ? Fail("a field name expected") : false;
                Space();
                if (m_at >= m_text.size() || m_text[m_at++] != ':')
                    return Fail("':' expected");
                return Value(value.fields[name], depth + 1);
            });
        }
        if (c == '[') {
            value.kind = JsonValue::Kind::Array;
            return Members(']', [&] {
                value.items.emplace_back();
                return Value(value.items.back(), depth + 1);
            });
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        }
        if (Literal("true") || Literal("false")) {
            value.kind = JsonValue::Kind::Bool;
            value.boolean = m_text[m_at - 1] == 'e' && m_text[m_at - 4] == 't';
            return true;
        }
        if (Literal("null"))
            return true;
        const std::size_t length = NumberLength();
        if (length == 0)
            return Fail("a value expected");
        // strtod alone would also take "nan", "inf", hex and a leading '+',
        // none of which is JSON; the grammar is checked first.
        value.number = std::strtod(m_text.substr(m_at, length).c_str(), nullptr);
        value.kind = JsonValue::Kind::Number;
        m_at += length;
        return true;
    }
    // The length of the JSON number at m_at, 0 when there is none:
    // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    std::size_t NumberLength() const
    {
        std::size_t at = m_at;
        const auto digits = [&] {
            const std::size_t from = at;
            while (at < m_text.size() && m_text[at] >= '0' && m_text[at] <= '9')
                ++at;
            return at - from;
        };
        if (at < m_text.size() && m_text[at] == '-')
            ++at;
        const std::size_t whole = at;
        const std::size_t wholeDigits = digits();
        if (wholeDigits == 0 || (wholeDigits > 1 && m_text[whole] == '0'))
            return 0;
        if (at < m_text.size() && m_text[at] == '.') {
            ++at;
            if (digits() == 0)
                return 0;
        }
        if (at < m_text.size() && (m_text[at] == 'e' || m_text[at] == 'E')) {
            ++at;
            if (at < m_text.size() && (m_text[at] == '+' || m_text[at] == '-'))
                ++at;
            if (digits() == 0)
                return 0;
        }
        return at - m_at;
    }

    const std::string& m_text;
    std::size_t m_at = 0;
};

}  // namespace

const JsonValue* JsonValue::Field(const std::string& name) const
{
    if (kind != Kind::Object)
        return nullptr;
    const auto found = fields.find(name);
    return found == fields.end() ? nullptr : &found->second;
}

std::optional<double> JsonValue::Number(const std::string& name) const
{
    const JsonValue* field = Field(name);
    if (!field || field->kind != Kind::Number)
        return std::nullopt;
    return field->number;
}

std::optional<JsonValue> ParseJson(const std::string& text, std::string& error)
{
    Parser parser(text);
    JsonValue value;
    if (!parser.Document(value)) {
        error = parser.error;
        return std::nullopt;
    }
    return value;
}

}  // namespace checks::runner
