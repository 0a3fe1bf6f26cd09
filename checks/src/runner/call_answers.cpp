#include "runner/call_answers.h"

#include "runner/utf8_text.h"

#include <common/hex_format.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace checks::runner {
namespace {

constexpr std::size_t kShownBytes = 32;

const Answer* Find(const std::vector<Answer>& answers, const std::string& name)
{
    const auto found =
        std::find_if(answers.begin(), answers.end(), [&](const Answer& answer) { return answer.name == name; });
    return found == answers.end() ? nullptr : &*found;
}

// Bytes from where other first differs, shortened.
std::string ShownFrom(const std::string& bytes, const std::string& other)
{
    std::size_t at = 0;
    while (at < bytes.size() && at < other.size() && bytes[at] == other[at])
        ++at;
    if (bytes.size() <= kShownBytes || at < kShownBytes / 2)
        return ShortHex(bytes);
    const std::size_t from = at - kShownBytes / 4;
    return "\u2026" + ShortHex(bytes.substr(from)) + " from byte " + std::to_string(from) + " of " +
           std::to_string(bytes.size());
}

std::string Shown(const Answer* answer, const Answer* other)
{
    if (!answer)
        return "nothing";
    switch (answer->kind) {
    case Answer::Kind::Null:
        return "none";
    case Answer::Kind::Number:
        return std::to_string(answer->number);
    case Answer::Kind::Bytes:
        return other && other->kind == Answer::Kind::Bytes ? ShownFrom(answer->bytes, other->bytes)
                                                           : ShortHex(answer->bytes);
    }
    return {};
}

bool Same(const Answer* a, const Answer* b, bool wordForWord)
{
    if (!a || !b || a->kind != b->kind)
        return !a && !b;
    if (a->kind == Answer::Kind::Number)
        return a->number == b->number;
    // A key file's size follows the digits of numbers the component chose:
    // without word-for-word comparison only its presence is compared.
    if (a->kind == Answer::Kind::Bytes)
        return wordForWord ? a->bytes == b->bytes : a->name == "file" || a->bytes.size() == b->bytes.size();
    return true;
}

}  // namespace

Answer NumberAnswer(const char* name, std::uint64_t number)
{
    return {name, Answer::Kind::Number, number, {}};
}

Answer BytesAnswer(const char* name, const void* data, std::size_t count)
{
    return {name, Answer::Kind::Bytes, 0, std::string(static_cast<const char*>(data), count)};
}

Answer FileAnswer(const char* name, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {name, Answer::Kind::Null, 0, {}};
    return {name, Answer::Kind::Bytes, 0,
            std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())};
}

std::optional<std::string> RecordedBytes(const JsonValue* value)
{
    if (!value)
        return std::nullopt;
    if (value->kind == JsonValue::Kind::String)
        return value->text;
    const JsonValue* hex = value->Field("hex");
    if (!hex || hex->kind != JsonValue::Kind::String)
        return std::nullopt;
    const auto bytes = BytesFromHex(hex->text);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

std::vector<Answer> RecordedAnswers(const JsonValue* out)
{
    std::vector<Answer> answers;
    if (!out)
        return answers;
    for (const auto& [name, value] : out->fields) {
        Answer answer{name, Answer::Kind::Null, 0, {}};
        if (value.kind == JsonValue::Kind::Number) {
            answer.kind = Answer::Kind::Number;
            answer.number = static_cast<std::uint64_t>(value.number);
        } else if (const auto bytes = RecordedBytes(&value)) {
            answer.kind = Answer::Kind::Bytes;
            answer.bytes = *bytes;
        }
        answers.push_back(std::move(answer));
    }
    return answers;
}

std::string ShortHex(const std::string& bytes)
{
    std::string text = HexBytes(bytes.data(), std::min(bytes.size(), kShownBytes));
    if (bytes.size() > kShownBytes)
        text += "\u2026";
    return text + " (" + std::to_string(bytes.size()) + (bytes.size() == 1 ? " byte)" : " bytes)");
}

Comparison CompareAnswers(const std::vector<Answer>& recorded, const std::vector<Answer>& now, bool wordForWord)
{
    Comparison comparison;
    std::vector<std::string> names;
    for (const auto* answers : {&recorded, &now})
        for (const Answer& answer : *answers)
            if (std::find(names.begin(), names.end(), answer.name) == names.end())
                names.push_back(answer.name);
    for (const std::string& name : names) {
        const Answer* before = Find(recorded, name);
        const Answer* after = Find(now, name);
        if (!Same(before, after, wordForWord))
            comparison.differences.push_back(name + ": recorded " + Shown(before, after) + ", now " +
                                             Shown(after, before));
        else if (!wordForWord && before && before->kind == Answer::Kind::Bytes)
            ++comparison.notCompared;
    }
    return comparison;
}

}  // namespace checks::runner
