// Known-answer files as data: the "KEY = value" record files of the NIST
// validation suites (and Tarvel's own files in the same shape), and the
// bookkeeping every vector check shares: finding the file, reading a field as
// bytes, and reporting only the first few mismatches of a file.
#pragma once

#include "suites/support.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace checks::vectors {

using support::Bytes;

struct VectorField {
    std::string key;
    std::string value;
};

// Fields on consecutive lines; a blank line, a comment or a section line ends
// a record.
struct VectorRecord {
    // The text inside the last "[...]" line before the record ("ENCRYPT",
    // "L = 20"), or "" before any.
    std::string section;
    // Line number of the record's first field, for the reports.
    int line = 0;
    std::vector<VectorField> fields;

    // The value of the first field named key, or null.
    const std::string* Get(std::string_view key) const;
};

struct VectorFile {
    std::string path;
    std::vector<VectorRecord> records;

    // The file's own name, which is what the reports show.
    std::string Name() const;
};

// text without blanks (spaces, tabs, line ends) at either end.
std::string_view Trimmed(std::string_view text);
// The next line of text, trimmed; text loses it and its line end.
std::string_view TakeTrimmedLine(std::string_view& text);

// Parses the text of a record file. Keys and values are trimmed; "In = " has
// an empty value. Lines that are neither fields, sections, comments nor
// blank are an error (the line number in error).
std::optional<std::vector<VectorRecord>> ParseVectorRecords(std::string_view text, std::string& error);

// Where a vector file comes from, for the skip message when it is missing.
enum class Source { VectorPackage, TarvelData };

// The whole text of a vector file, or nullopt after skipping the check (the
// file is missing: the message names the path and how to get it) or failing
// it (the file cannot be read).
std::optional<std::string> ReadVectorText(Context& ctx, const std::string& path, Source source);
// ReadVectorText, then ParseVectorRecords; a file that does not parse or holds
// no record fails the check, so a check never passes on nothing.
std::optional<VectorFile> LoadVectorFile(Context& ctx, const std::string& path, Source source);

// The field as bytes, or nullopt after failing the check with the file, line
// and field.
std::optional<Bytes> HexField(Context& ctx, const VectorFile& file, const VectorRecord& record, std::string_view key);
// The field as a decimal number, likewise.
std::optional<unsigned long long> NumberField(Context& ctx, const VectorFile& file, const VectorRecord& record,
                                              std::string_view key);

// The mismatches of one file: the first few are reported in full, the rest
// only counted, so a component that is wrong everywhere gives a readable
// report.
class MismatchLog {
public:
    MismatchLog(Context& ctx, std::string fileName, std::size_t shown = 3);

    void Add(std::string message);
    std::size_t Count() const { return m_count; }
    // Reports how many mismatches there were in all when some were not shown.
    void Finish(std::size_t checked);

private:
    Context& m_ctx;
    std::string m_fileName;
    std::size_t m_shown;
    std::size_t m_count = 0;
};

// A number as the programs show it (last byte first), without the blank
// that closes their text, so it reads inside a sentence.
std::string Number(const support::Words& words);
// "1 byte", "64 bytes".
std::string ByteCount(std::size_t bytes);

// "expected: …\ngot:      …" lines under a headline.
std::string Mismatch(const std::string& headline, const std::string& expected, const std::string& got);

}  // namespace checks::vectors
