// Known-answer files as the vector checks read them: the record files of the
// validation suites in every shape they come in (comments, sections, CRLF, a
// last line without its end), and broken ones refused with the line a user
// can look at, never read as fewer vectors than the file holds.
#include "suites/vectors_records.h"

#include "recording_context.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using checks::vectors::VectorRecord;

// The records as one line: "[section]@line k=v;k=v | ...".
std::string Shown(const std::vector<VectorRecord>& records)
{
    std::string text;
    for (const VectorRecord& record : records) {
        text += (text.empty() ? "" : " | ") + ("[" + record.section + "]@" + std::to_string(record.line) + " ");
        for (std::size_t i = 0; i < record.fields.size(); ++i)
            text += (i ? ";" : "") + record.fields[i].key + "=" + record.fields[i].value;
    }
    return text;
}

TEST(VectorRecords, ReadEveryShapeOfRecordFileAndRefuseABrokenLineByNumber)
{
    const struct {
        std::string text;
        const char* records;  // Shown() of what is read; nullptr when refused
        std::string error;
    } cases[] = {
        {"#  CAVS 11.1\n# SHA-1 ShortMsg\n\n[L = 20]\n\nLen = 0\nMsg = 00\nMD = da39\n\nLen = 8\nMsg = 36\nMD = c1\n",
         "[L = 20]@6 Len=0;Msg=00;MD=da39 | [L = 20]@10 Len=8;Msg=36;MD=c1", ""},
        // The files as Windows tools leave them.
        {"[L = 20]\r\n\r\nLen = 0\r\nMsg = 00\r\n\r\nLen = 8\r\nMsg = 36\r\n",
         "[L = 20]@3 Len=0;Msg=00 | [L = 20]@6 Len=8;Msg=36", ""},
        // A last line without its line end is still read.
        {"In = 61\nOut = ff", "[]@1 In=61;Out=ff", ""},
        // "In = " is the empty message, not a missing field.
        {"In = \nOut=00\n", "[]@1 In=;Out=00", ""},
        // A comment or a section line closes a record, a new section names
        // the records after it.
        {"a = 1\n# between\nb = 2\n", "[]@1 a=1 | []@3 b=2", ""},
        {"a = 1\n[ENCRYPT]\nb = 2\n[ DECRYPT ]\nc = 3\n", "[]@1 a=1 | [ENCRYPT]@3 b=2 | [DECRYPT]@5 c=3", ""},
        {" \tKEY\t=\tAB CD \t\n", "[]@1 KEY=AB CD", ""},
        {"k = a=b\n", "[]@1 k=a=b", ""},
        {"# only comments\n\n   \n", "", ""},
        {"", "", ""},
        // Broken lines: the number a user can look up, and the line itself.
        {"Len = 0\nMsg 00\n", nullptr, "line 2 is not 'KEY = value': Msg 00"},
        {"\n\n= 00\n", nullptr, "line 3 is not 'KEY = value': = 00"},
        {"[ENCRYPT\nKEY = 00\n", nullptr, "line 1 is not 'KEY = value': [ENCRYPT"},
        {"a = 1\r\nbroken\r\n", nullptr, "line 2 is not 'KEY = value': broken"},
        {std::string(100, 'x') + "\n", nullptr, "line 1 is not 'KEY = value': " + std::string(60, 'x')},
        {std::string("\0\xff\x01", 3), nullptr, std::string("line 1 is not 'KEY = value': \0\xff\x01", 32)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto records = checks::vectors::ParseVectorRecords(c.text, error);
        if (c.records) {
            ASSERT_TRUE(records) << error;
            EXPECT_EQ(Shown(*records), c.records);
        } else {
            EXPECT_FALSE(records);
            EXPECT_EQ(error, c.error);
        }
    }
}

// A file whose text the checks get through LoadVectorFile: a record with
// every field shape the checks meet.
checks::vectors::VectorFile OneRecordFile()
{
    std::string error;
    auto records = checks::vectors::ParseVectorRecords("# SHA\n\n"
                                                       "Msg = 00fF\nOdd = abc\nBad = zz\nEmpty =\nLen = 8\n"
                                                       "Zeros = 007\nNeg = -8\nPlus = +8\nBig = 18446744073709551616\n"
                                                       "Most = 18446744073709551615\nHexy = 0x10\nWords = 8 9\n",
                                                       error);
    return {"/usr/share/vectors/SHA1ShortMsg.rsp", std::move(*records)};
}

TEST(VectorRecords, AFieldIsReadAsBytesOrANumberOrTheCheckFailsNamingFileLineAndField)
{
    const checks::vectors::VectorFile file = OneRecordFile();
    ASSERT_EQ(file.records.size(), 1u);
    EXPECT_EQ(file.Name(), "SHA1ShortMsg.rsp");
    const VectorRecord& record = file.records.front();
    const std::string where = "SHA1ShortMsg.rsp line 3: ";

    const struct {
        const char* key;
        std::vector<std::uint8_t> bytes;  // when read
        std::string failure;              // "" when read
    } hexCases[] = {
        {"Msg", {0x00, 0xff}, ""},
        {"Empty", {}, ""},
        {"Odd", {}, where + "the field Odd is not hex"},
        {"Bad", {}, where + "the field Bad is not hex"},
        {"Words", {}, where + "the field Words is not hex"},
        {"Nope", {}, where + "no field Nope"},
    };
    // Each field read as a case says: its value, or the failure it tells.
    const auto expectRead = [&](const auto& c, auto read, const auto& wanted) {
        SCOPED_TRACE(c.key);
        RecordingContext ctx;
        const auto value = read(ctx, file, record, c.key);
        EXPECT_EQ(value.has_value(), c.failure.empty());
        if (value) {
            EXPECT_EQ(*value, wanted);
        }
        EXPECT_EQ(ctx.Said(), c.failure.empty() ? "" : "FAIL " + c.failure + "\n");
    };
    for (const auto& c : hexCases)
        expectRead(c, &checks::vectors::HexField, c.bytes);

    const struct {
        const char* key;
        unsigned long long number;
        std::string failure;
    } numberCases[] = {
        {"Len", 8, ""},
        {"Zeros", 7, ""},
        {"Most", 18446744073709551615ull, ""},
        // A sign is no part of a length or a count: "-8" is not 2^64 - 8.
        {"Neg", 0, where + "the field Neg is not a number"},
        {"Plus", 0, where + "the field Plus is not a number"},
        {"Big", 0, where + "the field Big is not a number"},
        {"Hexy", 0, where + "the field Hexy is not a number"},
        {"Empty", 0, where + "the field Empty is not a number"},
        {"Words", 0, where + "the field Words is not a number"},
        {"Nope", 0, where + "no field Nope"},
    };
    for (const auto& c : numberCases)
        expectRead(c, &checks::vectors::NumberField, c.number);
}

TEST(VectorRecords, AFileThatIsMissingSkipsAndOneThatHoldsNothingFails)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("folder.rsp"));
    const std::string missing = folder.File("missing.rsp");
    const struct {
        std::string path;
        checks::vectors::Source source;
        std::string said;  // what the check was told, in RecordingContext::Said's lines
        std::size_t records;
    } cases[] = {
        {folder.Write("good.rsp", "[L = 20]\n\nLen = 0\nMsg = 00\n\nLen = 8\nMsg = 36\n"),
         checks::vectors::Source::VectorPackage, "", 2},
        {missing, checks::vectors::Source::VectorPackage,
         "SKIP no vector file " + missing +
             " (install the Debian package python3-cryptography-vectors, or point --vectors at a copy)\n",
         0},
        {missing, checks::vectors::Source::TarvelData,
         "SKIP no vector file " + missing + " (it is installed with tarvel-check, under share/tarvel/vectors)\n", 0},
        // A check never passes on a file it could not read a vector from.
        {folder.Write("empty.rsp", ""), checks::vectors::Source::VectorPackage,
         "FAIL the vector file " + folder.File("empty.rsp") + " holds no vectors\n", 0},
        {folder.Write("comments.rsp", "# generated\r\n\r\n[L = 20]\r\n"), checks::vectors::Source::TarvelData,
         "FAIL the vector file " + folder.File("comments.rsp") + " holds no vectors\n", 0},
        {folder.Write("broken.rsp", "Len = 0\nMsg = 00\nMD\n"), checks::vectors::Source::VectorPackage,
         "FAIL the vector file " + folder.File("broken.rsp") + " does not parse: line 3 is not 'KEY = value': MD\n", 0},
        {folder.File("folder.rsp"), checks::vectors::Source::VectorPackage, "FAIL", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        RecordingContext ctx;
        const auto file = checks::vectors::LoadVectorFile(ctx, c.path, c.source);
        EXPECT_EQ(file.has_value(), c.records > 0);
        if (file) {
            EXPECT_EQ(file->records.size(), c.records);
        }
        EXPECT_EQ(ctx.Said().rfind(c.said, 0), 0u) << ctx.Said();
        EXPECT_EQ(ctx.Said().empty(), c.said.empty()) << ctx.Said();
    }
}

TEST(VectorRecords, OnlyTheFirstMismatchesAreShownAndTheRestCounted)
{
    const struct {
        std::size_t mismatches;
        std::vector<std::string> failures;
    } cases[] = {
        {0, {}},
        {3, {"m1", "m2", "m3"}},
        {5, {"m1", "m2", "m3", "5 of 12 vectors of SHA1LongMsg.rsp mismatched in all; the first 3 are shown"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mismatches);
        RecordingContext ctx;
        checks::vectors::MismatchLog log(ctx, "SHA1LongMsg.rsp");
        for (std::size_t i = 1; i <= c.mismatches; ++i)
            log.Add("m" + std::to_string(i));
        log.Finish(12);
        EXPECT_EQ(log.Count(), c.mismatches);
        EXPECT_EQ(ctx.failures, c.failures);
    }
    EXPECT_EQ(checks::vectors::ByteCount(1), "1 byte");
    EXPECT_EQ(checks::vectors::ByteCount(0), "0 bytes");
    EXPECT_EQ(checks::vectors::Mismatch("SHA1ShortMsg.rsp Len = 8", "c1", "00"),
              "SHA1ShortMsg.rsp Len = 8\nexpected: c1\ngot:      00");
}

}  // namespace
