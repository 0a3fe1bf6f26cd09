#include "runner/json_text.h"

#include "runner/utf8_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace checks {
namespace {

// How far down the document a value is laid out, which says where it breaks
// lines (see JsonLayout).
enum class Lines { Member, Nested, Item, None };

// The shortest text that reads back as the same double: dump's own can be
// longer ("0.9235679999999999" for 0.923568).
std::string Number(double value)
{
    if (!std::isfinite(value))
        return "null";  // JSON has no NaN or infinity
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string Laid(const OrderedJson& value, Lines lines)
{
    if (value.is_array() && !value.empty() &&
        (lines == Lines::Member || (lines == Lines::Nested && value.front().is_object()))) {
        std::string out = "[";
        for (const OrderedJson& item : value)
            out += (out.size() > 1 ? ",\n    " : "\n    ") + Laid(item, Lines::Item);
        return out + "\n  ]";
    }
    if (value.is_string())
        return JsonString(value.get_ref<const std::string&>());
    if (value.is_number_float())
        return Number(value.get<double>());
    if (!value.is_structured())
        return value.dump();
    const Lines inner = lines == Lines::Member ? Lines::Nested : lines == Lines::Item ? Lines::None : lines;
    std::string out;
    for (const auto& [key, member] : value.items()) {
        if (!out.empty())
            out += lines == Lines::Item && member.is_structured() ? ",\n     " : ", ";
        if (value.is_object())
            out += JsonString(key) + ": ";
        out += Laid(member, inner);
    }
    return value.is_object() ? "{" + out + "}" : "[" + out + "]";
}

}  // namespace

std::string JsonString(const std::string& text)
{
    // ValidUtf8 leaves nothing for the replacement to replace; it only
    // keeps dump from ever throwing.
    return OrderedJson(ValidUtf8(text)).dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

OrderedJson JsonFigure(double value, const char* format)
{
    if (!std::isfinite(value))
        return nullptr;
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    const double shown = std::strtod(text, nullptr);
    if (std::trunc(shown) == shown && std::fabs(shown) < 1e15)
        return static_cast<std::int64_t>(shown);
    return shown;
}

std::string JsonLayout(const OrderedJson& document)
{
    std::string out = "{";
    for (const auto& [key, value] : document.items())
        out += (out.size() > 1 ? ",\n  " : "\n  ") + JsonString(key) + ": " + Laid(value, Lines::Member);
    return out + "\n}\n";
}

}  // namespace checks
