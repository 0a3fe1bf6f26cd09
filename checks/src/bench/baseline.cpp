#include "bench/baseline.h"

#include "runner/json_reader.h"

#include <runtime/regular_file.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace bench {

using checks::runner::JsonValue;
using checks::runner::ParseJson;

namespace {

// A report of every operation is a few KiB; anything near this is not one.
constexpr std::size_t kLargestBaseline = std::size_t(4) << 20;

// The whole of a regular file of at most kLargestBaseline bytes. Opened
// without blocking and checked before reading, so a FIFO or a device is
// refused instead of waited on or read forever.
std::optional<std::string> ReadSmallRegularFile(const std::string& path, std::string& error)
{
    const ReadOnlyRegularFile file(path.c_str());
    if (!file.IsOpen()) {
        error = "cannot read " + path + ": " + file.ErrorText();
        return std::nullopt;
    }
    const int fd = file.Descriptor();
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return std::nullopt;
        }
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > kLargestBaseline) {
            error = path + " is larger than 4 MiB, too large for a tarvel-bench/1 report";
            return std::nullopt;
        }
    }
}

}  // namespace

std::optional<std::vector<BaselineEntry>> ReadBaseline(const std::string& path, std::string& error)
{
    const auto text = ReadSmallRegularFile(path, error);
    if (!text)
        return std::nullopt;
    const auto document = ParseJson(*text, error);
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
