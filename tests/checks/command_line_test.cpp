// The command line of tarvel-check as it is read: every option in both
// spellings ("--name value", "--name=value"), what each wrong value is told
// (the run then ends with status 2), and which checks --only and --skip pick.
#include "runner/run_settings.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using checks::runner::RunSettings;

std::optional<RunSettings> Parse(std::vector<std::string> words, std::string& error)
{
    words.insert(words.begin(), "tarvel-check");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return checks::runner::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), error);
}

std::string List(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ",") + item;
    return "[" + text + "]";
}

// The settings that differ from a bare command line, in one line.
std::string Described(const RunSettings& s)
{
    const RunSettings bare;
    std::string text;
    const auto add = [&](const std::string& item) { text += (text.empty() ? "" : " ") + item; };
    if (s.component)
        add("component=" + *s.component);
    if (s.level != bare.level)
        add(std::string("level=") + checks::runner::LevelName(s.level));
    if (s.seedGiven)
        add("seed=" + std::to_string(s.seed));
    if (!s.only.empty())
        add("only=" + List(s.only));
    if (!s.skip.empty())
        add("skip=" + List(s.skip));
    for (const auto& [format, file] : s.reports)
        add(format + "=" + file);
    if (s.expectFailPath)
        add("expect-fail=" + *s.expectFailPath);
    if (s.artifactsDir)
        add("artifacts=" + *s.artifactsDir);
    if (s.jobs)
        add("jobs=" + std::to_string(s.jobs));
    if (s.shardCount)
        add("shard=" + std::to_string(s.shardIndex) + "/" + std::to_string(s.shardCount));
    if (s.colour != bare.colour)
        add(s.colour == RunSettings::Colour::Always ? "color=always" : "color=never");
    if (s.vectorsDir)
        add("vectors=" + *s.vectorsDir);
    if (s.explain)
        add("explain=" + *s.explain);
    if (s.timeoutSeconds)
        add("timeout=" + std::to_string(*s.timeoutSeconds).substr(0, 5));
    if (!s.suites.empty())
        add("suites=" + List(s.suites));
    for (const auto& [flag, name] :
         {std::pair{s.list, "list"}, std::pair{s.help, "help"}, std::pair{s.version, "version"},
          std::pair{s.quiet, "quiet"}, std::pair{s.memcheck, "memcheck"}})
        if (flag)
            add(name);
    return text;
}

TEST(CommandLine, EveryOptionIsReadInBothSpellings)
{
    const struct {
        std::vector<std::string> words;
        const char* settings;
    } cases[] = {
        {{}, ""},
        {{"--component", "/opt/lib.so", "--level", "thorough", "--seed", "42"},
         "component=/opt/lib.so level=thorough seed=42"},
        {{"--component=/opt/a=b.so", "--level=quick", "--seed=0"}, "component=/opt/a=b.so level=quick seed=0"},
        {{"--seed", "18446744073709551615"}, "seed=18446744073709551615"},
        {{"--seed", "0x10"}, "seed=16"},
        {{"--seed", "010"}, "seed=10"},
        // --only and --skip gather; an empty one picks nothing rather than
        // being a missing value.
        {{"--only", "vectors.sha1", "--only=rsa.*", "--only=", "--skip", "rsa.keys.256", "--skip="},
         "only=[vectors.sha1,rsa.*,] skip=[rsa.keys.256,]"},
        {{"--json", "r.json", "--junit=r.xml", "--html", "r.html", "--text=r.txt"},
         "json=r.json junit=r.xml html=r.html text=r.txt"},
        {{"--expect-fail", "known.txt", "--artifacts=out", "--vectors", "/v", "--explain", "hash.digest"},
         "expect-fail=known.txt artifacts=out vectors=/v explain=hash.digest"},
        {{"--jobs", "1", "--shard", "1/1"}, "jobs=1 shard=1/1"},
        {{"--jobs=256", "--shard=100000/100000"}, "jobs=256 shard=100000/100000"},
        {{"--color", "always"}, "color=always"},
        {{"--color=never"}, "color=never"},
        {{"--color=auto"}, ""},
        {{"--timeout", "2.5"}, "timeout=2.500"},
        {{"--timeout=86400"}, "timeout=86400"},
        {{"--list", "-q", "--memcheck", "vectors", "rsa"}, "suites=[vectors,rsa] list quiet memcheck"},
        {{"-h", "--quiet", "--version"}, "help version quiet"},
        {{"--help"}, "help"},
        // The last of a repeated option wins.
        {{"--level", "quick", "--level", "thorough", "--seed", "1", "--seed", "2"}, "level=thorough seed=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.words));
        std::string error;
        const auto settings = Parse(c.words, error);
        ASSERT_TRUE(settings) << error;
        EXPECT_EQ(Described(*settings), c.settings);
    }
}

TEST(CommandLine, AWrongValueIsRefusedInWordsThatNameTheOptionAndTheValue)
{
    TempFolder folder;
    const std::string report = folder.Write("r.json", "{}");
    const struct {
        std::vector<std::string> words;
        std::string error;
    } cases[] = {
        {{"--level"}, "--level needs a value"},
        {{"--level="}, "--level needs a value"},
        {{"--component="}, "--component needs a value"},
        {{"--only"}, "--only needs a value"},
        {{"--json"}, "--json needs a value"},
        {{"--level", "fast"}, "--level must be quick, standard or thorough, not 'fast'"},
        {{"--level=Quick"}, "--level must be quick, standard or thorough, not 'Quick'"},
        {{"--seed", "-1"}, "--seed must be a number from 0 to 18446744073709551615, not '-1'"},
        {{"--seed", "18446744073709551616"},
         "--seed must be a number from 0 to 18446744073709551615, not '18446744073709551616'"},
        {{"--seed", "12abc"}, "--seed must be a number from 0 to 18446744073709551615, not '12abc'"},
        {{"--seed", "+5"}, "--seed must be a number from 0 to 18446744073709551615, not '+5'"},
        {{"--seed", "0x"}, "--seed must be a number from 0 to 18446744073709551615, not '0x'"},
        {{"--jobs", "0"}, "--jobs must be a whole number from 1 to 256, not '0'"},
        {{"--jobs", "257"}, "--jobs must be a whole number from 1 to 256, not '257'"},
        {{"--jobs", "-2"}, "--jobs must be a whole number from 1 to 256, not '-2'"},
        {{"--jobs", "2.0"}, "--jobs must be a whole number from 1 to 256, not '2.0'"},
        {{"--jobs", "99999999999999999999"}, "--jobs must be a whole number from 1 to 256, not '99999999999999999999'"},
        {{"--shard", "3/2"}, "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '3/2'"},
        {{"--shard", "0/2"}, "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '0/2'"},
        {{"--shard", "2"}, "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '2'"},
        {{"--shard", "/2"}, "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '/2'"},
        {{"--shard", "1/2/3"}, "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '1/2/3'"},
        {{"--shard", "1/100001"},
         "--shard must be K/N with 1 <= K <= N (\"2/4\": the second of four parts), not '1/100001'"},
        {{"--color", "yes"}, "--color must be auto, always or never, not 'yes'"},
        {{"--timeout", "0"}, "--timeout must be a number of seconds above 0, not '0'"},
        {{"--timeout", "nan"}, "--timeout must be a number of seconds above 0, not 'nan'"},
        {{"--timeout", "86401"}, "--timeout must be a number of seconds above 0, not '86401'"},
        {{"--timeout", "5s"}, "--timeout must be a number of seconds above 0, not '5s'"},
        {{"--list=yes"}, "--list takes no value"},
        {{"--memcheck=1"}, "--memcheck takes no value"},
        {{"--quiet="}, "--quiet takes no value"},
        {{"-x"}, "unknown option -x"},
        {{"--jsonx", "f"}, "unknown option --jsonx"},
        {{"--"}, "unknown option --"},
        // Two reports into one file: the second would replace the first.
        {{"--json", report, "--html=" + report}, "--json and --html name the same file (" + report + ")"},
        {{"--text", "x/../same.txt", "--junit", "same.txt"}, "--text and --junit name the same file (same.txt)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.words));
        std::string error;
        const auto settings = Parse(c.words, error);
        EXPECT_FALSE(settings);
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(CommandLine, OnlyAndSkipPickByPatternOrByDottedPrefix)
{
    const struct {
        std::vector<std::string> patterns;
        const char* name;
        bool picked;
    } cases[] = {
        {{}, "rsa.keys.16", true},
        {{"rsa.keys.16"}, "rsa.keys.16", true},
        {{"rsa"}, "rsa.keys.16", true},
        {{"rsa.keys"}, "rsa.keys.16", true},
        {{"rsa."}, "rsa.keys.16", true},
        // A prefix ends at a dot: "rsa.key" is not "rsa.keys".
        {{"rsa.key"}, "rsa.keys.16", false},
        {{"rs"}, "rsa.keys.16", false},
        {{"rsa.keys.16.x"}, "rsa.keys.16", false},
        {{"rsa.keys.1"}, "rsa.keys.16", false},
        {{"rsa.keys.*"}, "rsa.keys.16", true},
        {{"*.16"}, "rsa.keys.16", true},
        {{"rsa.keys.1?"}, "rsa.keys.16", true},
        {{"rsa.keys.[0-9]"}, "rsa.keys.16", false},
        {{"vectors.*", "rsa"}, "rsa.keys.16", true},
        {{"vectors.*", ""}, "rsa.keys.16", false},
        {{"RSA"}, "rsa.keys.16", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.patterns) + " " + c.name);
        EXPECT_EQ(checks::runner::NamePicked(c.name, c.patterns), c.picked);
    }
}

TEST(CommandLine, TheHelpNamesEveryOptionItReads)
{
    const std::string usage = checks::runner::UsageText({"load      the library and its entry points"});
    for (const char* option : {"--component PATH",
                               "--level LEVEL",
                               "--seed N",
                               "--only PATTERN",
                               "--skip PATTERN",
                               "--jobs N",
                               "--shard K/N",
                               "--expect-fail FILE",
                               "--artifacts DIR",
                               "--color WHEN",
                               "--json FILE",
                               "--junit FILE",
                               "--html FILE",
                               "--text FILE",
                               "--vectors DIR",
                               "--timeout SECONDS",
                               "--memcheck",
                               "--list",
                               "--explain NAME",
                               "-q, --quiet",
                               "-h, --help",
                               "--version",
                               "  load      the library and its entry points\n",
                               "  2  the component could not be loaded"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.find("@REPORTS@"), std::string::npos);
    for (const char* level : {"quick", "standard", "thorough"}) {
        std::string error;
        const auto settings = Parse({"--level", level}, error);
        ASSERT_TRUE(settings) << error;
        EXPECT_STREQ(checks::runner::LevelName(settings->level), level);
    }
}

}  // namespace
