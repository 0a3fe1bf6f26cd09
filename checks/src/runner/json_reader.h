// Just enough JSON to read back a report this tool wrote: objects, arrays,
// strings, numbers, true, false and null.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace checks::runner {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;

    // The field, or null when this is no object or lacks it.
    const JsonValue* Field(const std::string& name) const;
    std::optional<double> Number(const std::string& name) const;
};

// nullopt with error set (and the offset) on malformed text.
std::optional<JsonValue> ParseJson(const std::string& text, std::string& error);

}  // namespace checks::runner
