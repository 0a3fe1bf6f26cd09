// A JSON document read back as a small tree (a report this tool wrote, a
// --baseline, a replay bundle): strict JSON only, no NaN, no '+1', no
// comments, at most 64 levels deep.
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

// nullopt with error set ("what at byte N") on malformed text. A name that
// repeats in an object keeps its last value.
std::optional<JsonValue> ParseJson(const std::string& text, std::string& error);

}  // namespace checks::runner
