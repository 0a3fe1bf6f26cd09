#include "bench/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace bench {
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
                if (m_at + 4 > m_text.size())
                    return Fail("a cut \\u escape");
                const unsigned code = static_cast<unsigned>(std::strtoul(m_text.substr(m_at, 4).c_str(), nullptr, 16));
                m_at += 4;
                // Names and messages here are ASCII; others are kept as '?'.
                out += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            default:
                out += c;
            }
        }
        if (m_at >= m_text.size())
            return Fail("an unterminated string");
        ++m_at;
        return true;
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
            ++m_at;
            Space();
            if (m_at < m_text.size() && m_text[m_at] == '}')
                return ++m_at, true;
            for (;;) {
                Space();
                std::string name;
                if (m_at >= m_text.size() || m_text[m_at] != '"' || !String(name))
                    return error.empty() ? Fail("a field name expected") : false;
                Space();
                if (m_at >= m_text.size() || m_text[m_at++] != ':')
                    return Fail("':' expected");
                if (!Value(value.fields[name], depth + 1))
                    return false;
                Space();
                if (m_at < m_text.size() && m_text[m_at] == ',') {
                    ++m_at;
                    continue;
                }
                if (m_at < m_text.size() && m_text[m_at] == '}')
                    return ++m_at, true;
                return Fail("',' or '}' expected");
            }
        }
        if (c == '[') {
            value.kind = JsonValue::Kind::Array;
            ++m_at;
            Space();
            if (m_at < m_text.size() && m_text[m_at] == ']')
                return ++m_at, true;
            for (;;) {
                value.items.emplace_back();
                if (!Value(value.items.back(), depth + 1))
                    return false;
                Space();
                if (m_at < m_text.size() && m_text[m_at] == ',') {
                    ++m_at;
                    continue;
                }
                if (m_at < m_text.size() && m_text[m_at] == ']')
                    return ++m_at, true;
                return Fail("',' or ']' expected");
            }
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
        char* end = nullptr;
        value.number = std::strtod(m_text.c_str() + m_at, &end);
        if (end == m_text.c_str() + m_at)
            return Fail("a value expected");
        value.kind = JsonValue::Kind::Number;
        m_at = static_cast<std::size_t>(end - m_text.c_str());
        return true;
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

}  // namespace bench
