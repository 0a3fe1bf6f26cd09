// What a run settles before its first check: the parts of --shard, the list
// of --expect-fail, the input files it refuses to start without, each
// check's seed, and the text of --explain.
#include "runner/check_seed.h"
#include "runner/expect_fail.h"
#include "runner/expected_durations.h"
#include "runner/explain.h"
#include "runner/input_files.h"
#include "runner/shard.h"

#include <checks/rules.h>

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Positions = std::vector<std::size_t>;

TEST(Shards, TheSplitFollowsTimesThenNamesAndNeverTheListsOrder)
{
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::vector<double> seconds;
        unsigned count;
        std::vector<Positions> parts;
    } cases[] = {
        // Longest first onto the least loaded part: 5 | 4, 3 (=7) | 3 (=8) | 1.
        {"longest first", {"a", "b", "c", "d", "e"}, {5, 4, 3, 3, 1}, 2, {{0, 3}, {1, 2, 4}}},
        {"equal times by name", {"a", "b", "c", "d"}, {1, 1, 1, 1}, 2, {{0, 2}, {1, 3}}},
        {"the same checks listed backwards", {"d", "c", "b", "a"}, {1, 1, 1, 1}, 2, {{1, 3}, {0, 2}}},
        {"short checks alike", {"x.b", "x.a", "x.c"}, {0.01, 0.01, 0.01}, 3, {{1}, {0}, {2}}},
        {"more parts than checks", {"a", "b"}, {1, 2}, 4, {{1}, {0}, {}, {}}},
        {"one part", {"a", "b", "c"}, {3, 1, 2}, 1, {{0, 1, 2}}},
        {"no checks", {}, {}, 3, {{}, {}, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (unsigned index = 1; index <= c.count; ++index)
            EXPECT_EQ(checks::runner::ShardPositions(c.names, c.seconds, index, c.count), c.parts[index - 1])
                << "part " << index << " of " << c.count;
    }
}

TEST(ExpectFail, ReadsTheListAsEditorsOnEverySystemLeaveIt)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("folder"));
    const std::string missing = folder.File("missing.txt");
    const struct {
        std::string text;
        std::map<std::string, std::string> listed;
        std::string error;  // the end of the error after "--expect-fail PATH, "; "" when read
    } cases[] = {
        {"", {}, ""},
        {"# nothing yet\n   # indented comment\n\n", {}, ""},
        {"rsa.copy\tbug 3: copy  keeps the old key\r\ndifferential.md5 flaky on arm\r\n",
         {{"rsa.copy", "bug 3: copy  keeps the old key"}, {"differential.md5", "flaky on arm"}},
         ""},
        {"rsa.copy   bug 3", {{"rsa.copy", "bug 3"}}, ""},
        {"  rsa.copy # not a comment here\n", {{"rsa.copy", "# not a comment here"}}, ""},
        {"# header\n\nrsa.copy \r\n", {}, "line 3: a check name and a reason are expected (\"CHECK  reason\")"},
        {"rsa.copy\n", {}, "line 1: a check name and a reason are expected (\"CHECK  reason\")"},
        {"a x\nb y\n# c\na z\n", {}, "line 4: a is listed twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string path = folder.Write("list.txt", c.text);
        std::string error;
        const auto listed = checks::runner::ReadExpectFail(path, error);
        if (c.error.empty()) {
            ASSERT_TRUE(listed) << error;
            EXPECT_EQ(*listed, c.listed);
        } else {
            EXPECT_FALSE(listed);
            EXPECT_EQ(error, "--expect-fail " + path + ", " + c.error);
        }
    }
    const struct {
        std::string path;
        std::string error;
    } unread[] = {
        {missing, "--expect-fail " + missing + ": cannot be read"},
        {folder.File("folder"),
         "--expect-fail " + folder.File("folder") + ": cannot be read: it is a folder, not a file"},
    };
    for (const auto& c : unread) {
        std::string error;
        EXPECT_FALSE(checks::runner::ReadExpectFail(c.path, error)) << c.path;
        EXPECT_EQ(error, c.error);
    }
}

checks::CheckDef Reading(const std::string& name, std::vector<std::string> files)
{
    return checks::CheckDef{name, "reads " + name, {}, 30.0, std::move(files)};
}

// A run that cannot read a vector file stops before it starts: every such
// file named once with why, and a FIFO in the folder never waited on.
TEST(InputFiles, EveryUnreadableFileIsNamedOnceWithWhyAndTheFirstCheckThatNeedsIt)
{
    TempFolder folder;
    const std::string good = folder.Write("good.rsp", "Len = 0\n");
    const std::string missing = folder.File("missing.rsp");
    const std::string fifo = folder.File("fifo.rsp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("dir.rsp"));
    const std::string dir = folder.File("dir.rsp");
    const struct {
        const char* what;
        std::vector<checks::CheckDef> checks;
        std::string lines;
    } cases[] = {
        {"all readable", {Reading("vectors.a", {good}), Reading("vectors.b", {good})}, ""},
        {"none read", {Reading("load.library", {})}, ""},
        {"missing",
         {Reading("vectors.a", {good, missing})},
         "  " + missing + ": No such file or directory (vectors.a)\n"},
        {"two checks, one file",
         {Reading("vectors.a", {missing}), Reading("vectors.b", {missing, dir})},
         "  " + missing + ": No such file or directory (vectors.a)\n  " + dir +
             ": it is a folder, not a file (vectors.b)\n"},
        {"a FIFO",
         {Reading("vectors.a", {fifo})},
         "  " + fifo + ": it is a pipe (FIFO), not a regular file (vectors.a)\n"},
        {"a device",
         {Reading("vectors.a", {"/dev/null"})},
         "  /dev/null: it is a device, not a regular file (vectors.a)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(checks::runner::UnreadableInputs(c.checks), c.lines);
    }
}

TEST(CheckSeeds, AreTheDocumentedFormulaSoAPrintedSeedReplaysInEveryRelease)
{
    // SplitMix64(run XOR FNV-1a-64(name)), computed apart from the checker.
    const struct {
        std::uint64_t run;
        const char* name;
        std::uint64_t seed;
    } cases[] = {
        {1, "rsa.keys.16", 0xf9431fa7df0dc548ull},
        {2, "rsa.keys.16", 0xd2ac1b102e2b9974ull},
        {0, "", 0xc3817c016ba4ff30ull},
        {18446744073709551615ull, "vectors.sha1.short-msg", 0x698e31bba47d4c6full},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checks::runner::CheckSeed(c.run, c.name), c.seed);
    }
}

TEST(ExpectedDurations, LongChecksAreKnownByLevelAndTimingChecksRunAlone)
{
    const struct {
        const char* check;
        checks::Level level;
        double seconds;
        bool alone;
    } cases[] = {
        {"rsa.keys.256", checks::Level::Thorough, 18.0, false},
        {"rsa.keys.256", checks::Level::Quick, 0, false},
        {"timing.des.block", checks::Level::Standard, 60, true},
        {"timing.rsa16.input-full", checks::Level::Thorough, 600, true},
        // A prefix ends at its dot: these are no timing checks.
        {"timing", checks::Level::Thorough, 0.01, false},
        {"timingx.a", checks::Level::Thorough, 0.01, false},
        {"no.such.check", checks::Level::Standard, 0.01, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.check);
        EXPECT_DOUBLE_EQ(checks::runner::ExpectedSeconds(c.check, c.level), c.seconds);
        EXPECT_EQ(checks::runner::RunsAlone(c.check), c.alone);
    }
}

// Columns of text as a terminal shows it: UTF-8 continuation bytes take none.
std::size_t Columns(const std::string& line)
{
    std::size_t columns = 0;
    for (const unsigned char c : line)
        columns += (c & 0xC0) != 0x80;
    return columns;
}

TEST(Explain, ARuleOrACheckIsExplainedInLinesATerminalHolds)
{
    const std::vector<checks::CheckDef> checks = {
        checks::CheckDef{"contract.sha1.protocol", "the hash calls in every order", {}, 12.7, {"/v/a.rsp", "/v/b.rsp"}},
        Reading("rsa.key-files", {}),
    };
    const checks::Rule* digest = checks::FindRule("hash.digest");
    ASSERT_NE(digest, nullptr);
    const checks::Rule* choice = checks::FindRule("files.formats");
    ASSERT_NE(choice, nullptr);
    const struct {
        const char* name;
        std::vector<std::string> shows;  // in this order
    } cases[] = {
        {"hash.digest",
         {"hash.digest (required; " + digest->section + ")\n", "  Broken, it fails the check at every level.\n",
          "  Written in crypto/RULES.md", "  Checks enforcing it:\n    contract.sha1.protocol\n"}},
        {"files.formats",
         {"files.formats (recommended; ", "  Broken, it is a note below thorough and a failure at it.\n",
          "  Checks enforcing it:"}},
        {"contract.sha1.protocol",
         {"contract.sha1.protocol: the hash calls in every order\n  Time limit 12 s.\n  Reads /v/a.rsp.\n  Reads "
          "/v/b.rsp.\n  Replay: tarvel-check --component PATH --level LEVEL --seed SEED --only "
          "contract.sha1.protocol\n",
          "Rules it enforces, the most specific first:\n\nhash.digest (required; ",
          "hash.after-refusal (recommended; "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = checks::runner::ExplainText(c.name, checks);
        ASSERT_TRUE(text);
        std::size_t at = 0;
        for (const std::string& shown : c.shows) {
            const std::size_t found = text->find(shown, at);
            EXPECT_NE(found, std::string::npos) << shown << "\n---\n" << *text;
            at = found == std::string::npos ? at : found + shown.size();
        }
        EXPECT_EQ(text->find('`'), std::string::npos) << "the document's code marks stay in the document";
    }
    // The rule's text, wrapped: its lines fit 76 columns and read back as
    // the text, without the document's code marks.
    const auto explained = checks::runner::ExplainText("hash.digest", checks);
    std::istringstream lines(*explained);
    std::string line, joined;
    std::getline(lines, line);  // the heading
    while (std::getline(lines, line) && line.rfind("  Broken,", 0) != 0) {
        EXPECT_LE(Columns(line), 76u) << line;
        EXPECT_EQ(line.rfind("  ", 0), 0u) << line;
        joined += (joined.empty() ? "" : " ") + line.substr(2);
    }
    std::string text = digest->text;
    std::erase(text, '`');
    EXPECT_EQ(joined, text);
    // A rule no listed check enforces says so; a name that is neither is none.
    const auto lonely = checks::runner::ExplainText("hash.digest", {Reading("rsa.key-files", {})});
    ASSERT_TRUE(lonely);
    EXPECT_NE(lonely->find("Checks enforcing it: none at any level\n"), std::string::npos) << *lonely;
    EXPECT_FALSE(checks::runner::ExplainText("no.such.thing", checks));
    EXPECT_FALSE(checks::runner::ExplainText("", checks));
}

}  // namespace
