// A recorded call's answers against the component's answers now: what
// differs, said as people read it, and what could not be compared word for
// word.
#pragma once

#include "runner/json_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace checks::runner {

// One answer of a call: a count, bytes (a buffer, a text, a file), or null
// (no buffer, no file).
struct Answer {
    std::string name;
    enum class Kind { Null, Number, Bytes } kind = Kind::Null;
    std::uint64_t number = 0;
    std::string bytes;
};

// The answers of a call now, as the replay gathers them; a file's bytes, or
// null when it cannot be read.
Answer NumberAnswer(const char* name, std::uint64_t number);
Answer BytesAnswer(const char* name, const void* data, std::size_t count);
Answer FileAnswer(const char* name, const std::string& path);

// The bytes a recorded value holds: a JSON string's own bytes or {"hex": …};
// nullopt for null or anything else.
std::optional<std::string> RecordedBytes(const JsonValue* value);
// The record's "out" object as answers.
std::vector<Answer> RecordedAnswers(const JsonValue* out);

// Bytes as shortened hex for a message: "9dd8d09c6cc25078… (20 bytes)".
std::string ShortHex(const std::string& bytes);

struct Comparison {
    std::vector<std::string> differences;  // "digest: recorded …, now …"
    int notCompared = 0;                   // answers compared by size only
};

// wordForWord false: the answers hang on something the replay cannot make
// the same (a key the component chose itself), so bytes are compared by
// their size alone (a file's by its presence) and counted in notCompared.
Comparison CompareAnswers(const std::vector<Answer>& recorded, const std::vector<Answer>& now, bool wordForWord);

}  // namespace checks::runner
