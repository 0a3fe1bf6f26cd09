#include "suites/vectors_records.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace checks::vectors {
namespace {

std::string Where(const VectorFile& file, const VectorRecord& record)
{
    return file.Name() + " line " + std::to_string(record.line);
}

}  // namespace

const std::string* VectorRecord::Get(std::string_view key) const
{
    for (const VectorField& field : fields)
        if (field.key == key)
            return &field.value;
    return nullptr;
}

std::string VectorFile::Name() const
{
    return std::filesystem::path(path).filename().string();
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view TakeTrimmedLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

std::optional<std::vector<VectorRecord>> ParseVectorRecords(std::string_view text, std::string& error)
{
    std::vector<VectorRecord> records;
    std::string section;
    bool open = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::string_view line = TakeTrimmedLine(text);
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            open = false;
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(Trimmed(line.substr(1, line.size() - 2)));
            open = false;
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = Trimmed(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty()) {
            error = "line " + std::to_string(lineNumber) + " is not 'KEY = value': " + std::string(line.substr(0, 60));
            return std::nullopt;
        }
        if (!open) {
            records.push_back({section, lineNumber, {}});
            open = true;
        }
        records.back().fields.push_back({std::string(key), std::string(Trimmed(line.substr(equals + 1)))});
    }
    return records;
}

std::optional<std::string> ReadVectorText(Context& ctx, const std::string& path, Source source)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        ctx.Skip("no vector file " + path +
                 (source == Source::VectorPackage
                      ? " (install the Debian package python3-cryptography-vectors, or point --vectors at a copy)"
                      : " (it is installed with tarvel-check, under share/tarvel/vectors)"));
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in.is_open())
        text << in.rdbuf();
    if (!in.is_open() || in.bad()) {
        ctx.Fail("cannot read the vector file " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    return std::move(text).str();
}

std::optional<VectorFile> LoadVectorFile(Context& ctx, const std::string& path, Source source)
{
    const auto text = ReadVectorText(ctx, path, source);
    if (!text)
        return std::nullopt;
    std::string error;
    auto records = ParseVectorRecords(*text, error);
    if (!records) {
        ctx.Fail("the vector file " + path + " does not parse: " + error);
        return std::nullopt;
    }
    if (records->empty()) {
        ctx.Fail("the vector file " + path + " holds no vectors");
        return std::nullopt;
    }
    return VectorFile{path, std::move(*records)};
}

std::optional<Bytes> HexField(Context& ctx, const VectorFile& file, const VectorRecord& record, std::string_view key)
{
    const std::string* value = record.Get(key);
    auto bytes = value ? support::FromHex(*value) : std::nullopt;
    if (!bytes)
        ctx.Fail(Where(file, record) + ": " +
                 (value ? "the field " + std::string(key) + " is not hex" : "no field " + std::string(key)));
    return bytes;
}

std::optional<unsigned long long> NumberField(Context& ctx, const VectorFile& file, const VectorRecord& record,
                                              std::string_view key)
{
    const std::string* value = record.Get(key);
    // strtoull would take a sign, and read "-8" as 2^64 - 8.
    if (value && !value->empty() && value->front() >= '0' && value->front() <= '9') {
        char* end = nullptr;
        errno = 0;
        const unsigned long long number = std::strtoull(value->c_str(), &end, 10);
        if (errno == 0 && *end == '\0')
            return number;
    }
    ctx.Fail(Where(file, record) + ": " +
             (value ? "the field " + std::string(key) + " is not a number" : "no field " + std::string(key)));
    return std::nullopt;
}

MismatchLog::MismatchLog(Context& ctx, std::string fileName, std::size_t shown)
    : m_ctx(ctx), m_fileName(std::move(fileName)), m_shown(shown)
{
}

void MismatchLog::Add(std::string message)
{
    if (++m_count <= m_shown)
        m_ctx.Fail(std::move(message));
}

void MismatchLog::Finish(std::size_t checked)
{
    if (m_count > m_shown)
        m_ctx.Fail(std::to_string(m_count) + " of " + std::to_string(checked) + " vectors of " + m_fileName +
                   " mismatched in all; the first " + std::to_string(m_shown) + " are shown");
}

std::string Number(const support::Words& words)
{
    std::string text = support::ShownNumber(words);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string ByteCount(std::size_t bytes)
{
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string Mismatch(const std::string& headline, const std::string& expected, const std::string& got)
{
    return headline + "\nexpected: " + expected + "\ngot:      " + got;
}

}  // namespace checks::vectors
