#include "runner/json_reader.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstddef>
#include <sstream>
#include <string_view>

namespace checks::runner {
namespace {

using Json = nlohmann::json;

// Where an error message says the fault is.
enum class At {
    Token,       // where the offending token starts
    Read,        // how far the parser has read
    LastRead,    // the byte it read last, the offending one
    Sequence,    // the UTF-8 sequence that the byte read last broke
    AfterToken,  // one byte into the offending token
    Escape,      // the token's last \u escape
    HexDigits,   // the hex digits of that escape
};

// The parser's wording (the part that names the fault, not the text it
// echoes) and ours, first match wins. Ours is what users of --baseline and
// replay have always been shown.
struct Wording {
    const char* parsers;
    const char* ours;
    At at;
};
constexpr Wording kWordings[] = {
    {"'\\u' must be followed by 4 hex digits", "a \\u escape without four hex digits", At::HexDigits},
    {"forbidden character after backslash", "an unknown escape", At::Read},
    {"missing closing quote", "an unterminated string", At::Read},
    {"must be escaped", "a control character in a string", At::LastRead},
    {"ill-formed UTF-8 byte", "a string that is not UTF-8", At::Sequence},
    {"invalid string: surrogate", "a \\u escape of half a surrogate pair", At::Escape},
    {"number overflow", "a number out of range", At::Token},
    {"while parsing value - unexpected end of input", "the end of the text where a value belongs", At::Read},
    {"; expected end of input", "text after the document", At::Token},
    {"while parsing object separator -", "':' expected", At::AfterToken},
    {"while parsing object key -", "a field name expected", At::Token},
    {"while parsing object -", "',' or '}' expected", At::Token},
    {"while parsing array -", "',' or ']' expected", At::Token},
    {"", "a value expected", At::Token},
};

JsonValue NewValue(JsonValue::Kind kind, bool boolean = false, double number = 0, std::string text = {})
{
    JsonValue value;
    value.kind = kind;
    value.boolean = boolean;
    value.number = number;
    value.text = std::move(text);
    return value;
}

// Builds the JsonValue tree from the parser's events, refuses nesting
// deeper than kDeepest, and words the parser's errors as this reader
// always has.
class Builder final : public nlohmann::json_sax<Json> {
public:
    explicit Builder(const std::string& text) : m_text(text), m_stream(text) {}

    // The parser reads the stream a byte at a time, so where the stream is
    // tells an error the parser does not see (nesting too deep) where it is.
    bool Parse() { return Json::sax_parse(m_stream, this); }
    JsonValue root;
    std::string error;

    bool null() override { return Add(NewValue(JsonValue::Kind::Null)); }
    bool boolean(bool value) override { return Add(NewValue(JsonValue::Kind::Bool, value)); }
    bool number_integer(std::int64_t value) override { return Number(static_cast<double>(value)); }
    bool number_unsigned(std::uint64_t value) override { return Number(static_cast<double>(value)); }
    // Beyond a double's range the parser refuses a number itself.
    bool number_float(double value, const std::string&) override { return Number(value); }
    bool string(std::string& value) override
    {
        return Add(NewValue(JsonValue::Kind::String, false, 0, std::move(value)));
    }
    bool binary(Json::binary_t&) override { return false; }  // only binary formats have these
    bool start_object(std::size_t) override { return Open(JsonValue::Kind::Object); }
    bool key(std::string& name) override
    {
        m_key = std::move(name);
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(JsonValue::Kind::Array); }
    bool end_array() override { return Close(); }

    bool parse_error(std::size_t position, const std::string& token, const Json::exception& fault) override
    {
        const std::string what = fault.what();
        const std::string_view named = std::string_view(what).substr(0, what.find("; last read: "));
        // At the end of the text the parser counts one byte past it.
        const std::size_t read = std::min(position, m_text.size());
        const bool lexed = named.size() < what.size();  // the token itself is malformed
        const std::size_t start = TokenStart(named, lexed ? token : Tail(token), read);
        // "01": the parser takes the 0 and trips on the 1; it is one
        // malformed number.
        if (start > 0 && start < m_text.size() && m_text[start - 1] == '0' && std::isdigit(Byte(start))) {
            const std::size_t number = start - 1;
            return Fail("a value expected", number > 0 && m_text[number - 1] == '-' ? number - 1 : number);
        }
        for (const Wording& wording : kWordings) {
            if (named.find(wording.parsers) == std::string_view::npos)
                continue;
            switch (wording.at) {
            case At::Token:
                return Fail(wording.ours, start);
            case At::Read:
                return Fail(wording.ours, read);
            case At::LastRead:
                return Fail(wording.ours, read - std::min<std::size_t>(read, 1));
            case At::Sequence:
                return Fail(wording.ours, SequenceStart(read - std::min<std::size_t>(read, 1)));
            case At::AfterToken:
                return Fail(wording.ours, std::min(start + 1, m_text.size()));
            case At::Escape:
                return Fail(wording.ours, std::min(start + token.rfind("\\u"), read));
            case At::HexDigits:
                return Fail(wording.ours, std::min(start + token.rfind("\\u") + 2, read));
            }
        }
        return false;
    }

private:
    // Reports nest only a few levels; a JsonValue is copied and freed
    // recursively, so this keeps a hostile file from exhausting the stack.
    static constexpr std::size_t kDeepest = 64;

    bool Fail(const std::string& what, std::size_t at)
    {
        error = what + " at byte " + std::to_string(at);
        return false;
    }
    unsigned char Byte(std::size_t at) const { return static_cast<unsigned char>(m_text[at]); }
    // A well-formed token from the parser's copy, which for a literal or a
    // bracket may begin with tokens before it (a number or string is alone).
    static std::string_view Tail(std::string_view token)
    {
        if (!token.empty() && std::string_view("{}[]:,").find(token.back()) != std::string_view::npos)
            return token.substr(token.size() - 1);
        for (const std::string_view literal : {"true", "false", "null"})
            if (token.ends_with(literal))
                return literal;
        return token;
    }
    // Where the token the parser stopped at starts, read bytes into the text.
    std::size_t TokenStart(std::string_view named, std::string_view token, std::size_t read) const
    {
        if (named.find("unexpected end of input") != std::string_view::npos)
            return read;
        if (named.find("invalid literal") != std::string_view::npos) {
            // The letters of a would-be literal, up to the byte it broke at,
            // less a whole literal before them ("truex").
            std::size_t at = read - std::min<std::size_t>(read, 1);
            while (at > 0 && std::isalpha(Byte(at - 1)))
                --at;
            for (const std::string_view literal : {"true", "false", "null"})
                if (m_text.substr(at).starts_with(literal))
                    return at + literal.size();
            return at;
        }
        return read - std::min(read, token.size());
    }
    // The lead byte of the sequence that the byte at broke: at itself, the
    // byte before when at is ASCII, or the byte its continuation bytes follow.
    std::size_t SequenceStart(std::size_t at) const
    {
        if (at > 0 && Byte(at) < 0x80)
            --at;
        while (at > 0 && (Byte(at) & 0xC0) == 0x80 && Byte(at - 1) >= 0x80)
            --at;
        return at;
    }
    bool Number(double value) { return Add(NewValue(JsonValue::Kind::Number, false, value)); }
    // The new value where the open object or array holds it: the pointers
    // in m_open stay valid, as only the innermost open one grows.
    JsonValue* Place(JsonValue value)
    {
        if (m_open.size() > kDeepest) {
            const auto read = static_cast<std::size_t>(m_stream.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in));
            Fail("nesting too deep", read - std::min<std::size_t>(read, 1));
            return nullptr;
        }
        if (m_open.empty())
            return &(root = std::move(value));
        JsonValue& parent = *m_open.back();
        if (parent.kind == JsonValue::Kind::Array)
            return &parent.items.emplace_back(std::move(value));
        return &(parent.fields[m_key] = std::move(value));  // a repeated name: the last one counts
    }
    bool Add(JsonValue value) { return Place(std::move(value)) != nullptr; }
    bool Open(JsonValue::Kind kind)
    {
        JsonValue* opened = Place(NewValue(kind));
        if (opened)
            m_open.push_back(opened);
        return opened != nullptr;
    }
    bool Close()
    {
        m_open.pop_back();
        return true;
    }

    std::string_view m_text;
    std::istringstream m_stream;
    std::vector<JsonValue*> m_open;
    std::string m_key;
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
    // The parser tells every fault of the text through parse_error and
    // throws none; it never sees a partial document as whole.
    Builder builder(text);
    if (!builder.Parse()) {
        error = builder.error;
        return std::nullopt;
    }
    return std::move(builder.root);
}

}  // namespace checks::runner
