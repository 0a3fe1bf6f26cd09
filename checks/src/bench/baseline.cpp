#include "bench/baseline.h"

#include "bench/json_reader.h"

#include <fstream>
#include <sstream>

namespace bench {

std::optional<std::vector<BaselineEntry>> ReadBaseline(const std::string& path, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const auto document = ParseJson(text.str(), error);
    if (!document) {
        error = path + " is not JSON: " + error;
        return std::nullopt;
    }
    const JsonValue* schema = document->Field("schema");
    if (!schema || schema->text != "tarvel-bench/1") {
        error = path + " is no tarvel-bench/1 report";
        return std::nullopt;
    }
    const JsonValue* operations = document->Field("operations");
    if (!operations || operations->kind != JsonValue::Kind::Array) {
        error = path + " has no operations";
        return std::nullopt;
    }
    std::vector<BaselineEntry> entries;
    for (const JsonValue& op : operations->items) {
        const JsonValue* name = op.Field("name");
        const JsonValue* wall = op.Field("wall_ns");
        if (!name || !wall)
            continue;  // an operation that failed then has no figures
        const auto median = wall->Number("median");
        const auto low = wall->Number("ci_low");
        const auto high = wall->Number("ci_high");
        if (!median || !low || !high)
            continue;
        entries.push_back({name->text, *median, *low, *high});
    }
    return entries;
}

std::vector<Comparison> CompareWithBaseline(const std::vector<Measurement>& now,
                                            const std::vector<BaselineEntry>& before)
{
    std::vector<Comparison> comparisons;
    for (const Measurement& m : now) {
        if (!m.failure.empty())
            continue;
        for (const BaselineEntry& entry : before) {
            if (entry.name != m.name)
                continue;
            Comparison c{m.name, entry, m.ours.wall};
            if (c.now.low > entry.high)
                c.change = Comparison::Change::Slower;
            else if (c.now.high < entry.low)
                c.change = Comparison::Change::Faster;
            comparisons.push_back(c);
        }
    }
    return comparisons;
}

}  // namespace bench
