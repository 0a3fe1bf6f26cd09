// tarvel-check bench as its users see it: the order statistics it reports,
// a wrong answer that is never timed, the baseline comparison and the reader
// that takes a baseline back. No test
// here depends on how fast anything runs.
#include "bench/bench_settings.h"
#include "runner/json_reader.h"
#include "bench/statistics.h"

#include "run_tarvel_check.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(BenchStatistics, OrderStatisticsMatchHandComputedSamples)
{
    const struct {
        std::vector<double> samples;
        double median, p90, low, high, coverage;
    } cases[] = {
        // Below 6 samples no interval reaches 95 %: min to max, 1 - 2/2^n.
        {{5, 1, 4, 2, 3}, 3, 4.6, 1, 5, 0.9375},
        {{4, 1, 3, 2}, 2.5, 3.7, 1, 4, 0.875},
        // n = 10: the 2nd and 9th, 1 - 2 * 11/1024.
        {{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 5.5, 9.1, 2, 9, 0.978515625},
        // n = 20: the 6th and 15th, 1 - 2 * P(Bin(20, 1/2) <= 5).
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 10.5, 18.1, 6, 15, 0.958610535},
        {{7}, 7, 7, 7, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.samples.size());
        const bench::Summary s = bench::Summarize(c.samples);
        EXPECT_DOUBLE_EQ(s.median, c.median);
        EXPECT_NEAR(s.p90, c.p90, 1e-12);
        EXPECT_DOUBLE_EQ(s.low, c.low);
        EXPECT_DOUBLE_EQ(s.high, c.high);
        EXPECT_NEAR(s.coverage, c.coverage, 1e-8);
    }
    // The published table's ranks for 100 samples: the 40th and the 61st.
    const bench::MedianInterval hundred = bench::MedianIntervalIndices(100);
    EXPECT_EQ(hundred.low, 39u);
    EXPECT_EQ(hundred.high, 60u);
    EXPECT_GE(hundred.coverage, 0.95);
    EXPECT_EQ(bench::Summarize({}).count, 0u);
}

// The document when expectedError is null; else checks that reading fails
// with that error.
std::optional<checks::runner::JsonValue> ReadAsExpected(const std::string& text, const char* expectedError)
{
    std::string error;
    auto document = checks::runner::ParseJson(text, error);
    if (expectedError) {
        EXPECT_FALSE(document);
        EXPECT_EQ(error, expectedError);
        return std::nullopt;
    }
    EXPECT_TRUE(document) << error;
    return document;
}

// A baseline may come from anywhere: what is not JSON is refused with where,
// and what is must read back as written.
TEST(BenchBaselineReader, TakesJsonAndRefusesWhatIsNot)
{
    const struct {
        const char* text;
        const char* error;  // nullptr: accepted
        double median;      // wall_ns.median of the first operation, when accepted
        const char* name;
    } cases[] = {
        {R"({"operations": [{"name": "a\"b\\c\u0041", "wall_ns": {"median": -1.5e3}}]})", nullptr, -1500, "a\"b\\cA"},
        {R"( {"operations":[{"name":"x","wall_ns":{"median":0}}]} )", nullptr, 0, "x"},
        {R"({"operations": [{"name": "x", "wall_ns": {"median": 12.25E-2}}], "t": true, "n": null})", nullptr, 0.1225,
         "x"},
        {"{\"a\": nan}", "a value expected at byte 6", 0, ""},
        {"{\"a\": inf}", "a value expected at byte 6", 0, ""},
        {"{\"a\": +1}", "a value expected at byte 6", 0, ""},
        {"{\"a\": 0x10}", "',' or '}' expected at byte 7", 0, ""},
        {"{\"a\": 01}", "a value expected at byte 6", 0, ""},
        {"{\"a\": 1.}", "a value expected at byte 6", 0, ""},
        {"{\"a\": \"\\uZZZZ\"}", "a \\u escape without four hex digits at byte 9", 0, ""},
        {"{\"a\": \"\\q\"}", "an unknown escape at byte 9", 0, ""},
        {"{\"a\": \"open}", "an unterminated string at byte 12", 0, ""},
        {"{\"a\" 1}", "':' expected at byte 6", 0, ""},
        {"[1 2]", "',' or ']' expected at byte 3", 0, ""},
        {"{} {}", "text after the document at byte 3", 0, ""},
        {"", "the end of the text where a value belongs at byte 0", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto document = ReadAsExpected(c.text, c.error);
        if (!document)
            continue;
        const checks::runner::JsonValue& first = document->Field("operations")->items.at(0);
        EXPECT_EQ(first.Field("name")->text, c.name);
        EXPECT_DOUBLE_EQ(*first.Field("wall_ns")->Number("median"), c.median);
    }
    // A hostile file does not exhaust the stack.
    std::string error;
    EXPECT_FALSE(checks::runner::ParseJson(std::string(100000, '['), error));
    EXPECT_EQ(error, "nesting too deep at byte 65");
}

// Strings mean what JSON says, a repeated name keeps its last value, the
// nesting limit sits where it always has, and what no report holds (bytes
// that are not UTF-8, raw control characters, numbers beyond a double) is
// refused with where.
TEST(BenchBaselineReader, ReadsStringsAsJsonMeansAndRefusesWhatNoReportHolds)
{
    const auto nested = [](int levels, const std::string& open, const std::string& inner, const std::string& close) {
        std::string text = inner;
        for (int i = 0; i < levels; ++i)
            text = open + text + close;
        return text;
    };
    const struct {
        std::string text;
        const char* error;  // nullptr: accepted
        const char* a;      // the text of field "a", when accepted and there
    } cases[] = {
        {R"({"a": "caf\u00e9 \ud83d\ude00"})", nullptr, "caf\xc3\xa9 \xf0\x9f\x98\x80"},
        {R"({"a": "x", "a": "y"})", nullptr, "y"},
        {nested(64, "[", "1", "]"), nullptr, nullptr},
        {nested(65, "[", "", "]"), nullptr, nullptr},
        {nested(65, "{\"a\": ", "{}", "}"), "nesting too deep at byte 390", nullptr},
        {"{\"a\": \"\xff\"}", "a string that is not UTF-8 at byte 7", nullptr},
        {"{\"a\": \"x\xe2\x82\"}", "a string that is not UTF-8 at byte 8", nullptr},
        {"{\"a\": \"x\ny\"}", "a control character in a string at byte 8", nullptr},
        {R"({"a": "\ud800"})", "a \\u escape of half a surrogate pair at byte 7", nullptr},
        {R"({"a": 1e999})", "a number out of range at byte 6", nullptr},
        {R"({"a": -01})", "a value expected at byte 6", nullptr},
        {R"({"a": truex})", "',' or '}' expected at byte 10", nullptr},
        {R"([1, 2})", "',' or ']' expected at byte 5", nullptr},
        {R"({"a": 1,})", "a field name expected at byte 8", nullptr},
        {R"([1,])", "a value expected at byte 3", nullptr},
        {R"({"a": 1)", "',' or '}' expected at byte 7", nullptr},
        {"// a comment\n{}", "a value expected at byte 0", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const auto document = ReadAsExpected(c.text, c.error);
        if (!document)
            continue;
        if (c.a) {
            EXPECT_EQ(document->Field("a")->text, c.a);
        }
    }
}

TEST(BenchCommandLine, RefusesWhatItCannotHonour)
{
    const struct {
        std::vector<std::string> words;
        const char* error;  // nullptr: accepted
    } cases[] = {
        {{"--samples=12", "--seconds", "0.5", "--only", "sha1", "--only=md5.40", "--pin", "0", "--quiet"}, nullptr},
        {{"--samples", "12x"}, "--samples must be a whole number from 1 to 1000000, not '12x'"},
        {{"--samples", "99999999999999999999"},
         "--samples must be a whole number from 1 to 1000000, not '99999999999999999999'"},
        {{"--seconds", "nan"}, "--seconds must be a number of seconds above 0, not 'nan'"},
        {{"--seconds=-1"}, "--seconds must be a number of seconds above 0, not '-1'"},
        {{"--pin", "-1"}, "--pin must be a CPU number, not '-1'"},
        {{"--json"}, "--json needs a value"},
        {{"--file="}, "--file needs a value"},
        {{"--list=yes"}, "--list takes no value"},
        {{"--fast"}, "unknown option --fast"},
        {{"sha1"}, "unexpected argument sha1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.empty() ? "" : c.words.front());
        std::vector<std::string> words = c.words;
        words.insert(words.begin(), "bench");
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        std::string error;
        const auto settings = bench::ParseBenchCommandLine(static_cast<int>(argv.size()), argv.data(), error);
        if (!c.error) {
            ASSERT_TRUE(settings) << error;
            EXPECT_EQ(settings->samples, 12u);
            EXPECT_DOUBLE_EQ(settings->seconds, 0.5);
            EXPECT_EQ(settings->only, (std::vector<std::string>{"sha1", "md5.40"}));
            EXPECT_EQ(settings->pinCpu, 0);
        } else {
            EXPECT_FALSE(settings);
            EXPECT_EQ(error, c.error);
        }
    }
}

using BenchRun = TarvelCheckRun;

BenchRun RunBench(const std::string& environment, const std::string& arguments)
{
    return RunTarvelCheck(environment, "bench " + arguments);
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Each fault breaks one answer: the operation that meets it fails with the
// reason and gets no figure; without a fault the same run is timed.
TEST(BenchRun, AWrongAnswerIsAFailureAndNeverAFigure)
{
    TempFolder folder;
    // The SHA-1 fault strikes at 55 bytes mod 64, which no buffer size of the
    // bench meets; a 55-byte file does.
    const std::string file = folder.File("55.bin");
    WriteFile(file, std::string(55, 'a'));
    const std::string common =
        "--component " TARVEL_FAULTY_COMPONENT " --samples 6 --seconds 0.05 --json " + folder.File("run.json") + " ";
    const std::string hashFile = "--only sha1.file --file " + file;
    const struct {
        const char* fault;
        std::string arguments;
        int exitStatus;
        const char* says;
    } cases[] = {
        {"sha1-length-55", hashFile, 1, "(55 bytes): the component gave"},
        {"crt-off-by-one", "--only keygen.16", 1, "is not sound: EVP_PKEY_check"},
        {"ignore-length", "--only rsa.public.32", 1, "expected exactly 1024 bits"},
        // Right at first and wrong once warm: caught between the samples.
        {"hash-wrong-later", "--only md5.40", 1, "is wrong: MD5 of 40 bytes: the component gave"},
        {"none", hashFile, 0, "MB/s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const BenchRun run = RunBench(std::string("TARVEL_FAULT=") + c.fault, common + c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        std::ifstream json(folder.File("run.json"));
        const std::string report((std::istreambuf_iterator<char>(json)), std::istreambuf_iterator<char>());
        EXPECT_NE(report.find("\"schema\": \"tarvel-bench/1\""), std::string::npos) << report;
        if (c.exitStatus) {
            // A failure, and no figure anywhere for it.
            EXPECT_NE(run.output.find("FAILED"), std::string::npos) << run.output;
            EXPECT_EQ(run.output.find("op/s"), std::string::npos) << run.output;
            EXPECT_EQ(run.output.find("MB/s"), std::string::npos) << run.output;
            EXPECT_NE(report.find("\"verdict\": \"fail\""), std::string::npos) << report;
            EXPECT_EQ(report.find("\"wall_ns\""), std::string::npos) << report;
        } else {
            EXPECT_NE(report.find("\"verdict\": \"timed\""), std::string::npos) << report;
        }
    }
}

TEST(BenchRun, TheBaselineFlagsWhatGotSlowerAndFailsOnlyWhenAsked)
{
    TempFolder folder;
    // No real call takes a picosecond: the run is slower beyond both intervals.
    const std::string fast = folder.File("fast.json");
    WriteFile(fast, R"({"schema": "tarvel-bench/1", "operations": [
        {"name": "md5.40", "verdict": "timed",
         "wall_ns": {"count": 9, "median": 0.001, "ci_low": 0.0005, "ci_high": 0.002}}]})");
    const std::string own = folder.File("own.json");
    WriteFile(folder.File("other.json"), R"({"schema": "tarvel-check/1", "checks": []})");
    const std::string quick = "--only md5.40 --samples 6 --seconds 0.05 ";
    const std::string fifo = folder.File("baseline.fifo");
    mkfifo(fifo.c_str(), 0600);
    const std::string huge = folder.File("huge.json");
    WriteFile(huge, std::string(5 << 20, ' '));
    const struct {
        std::string arguments;
        int exitStatus;
        std::string says;
    } cases[] = {
        {quick + "--baseline " + fast, 0, "SLOWER"},
        {quick + "--baseline " + fast + " --fail-on-regression", 1, "SLOWER"},
        // A run's own report reads back as a baseline.
        {quick + "--json " + own, 0, "md5.40"},
        {quick + "--baseline " + own, 0, "against " + own},
        {quick + "--baseline " + folder.File("missing.json"), 2, "cannot read"},
        {quick + "--baseline /etc/hostname", 2, "is not JSON"},
        {quick + "--baseline " + folder.File("other.json"), 2, "is no tarvel-bench/1 report"},
        // Refused at once: no writer is waited for, no device read forever.
        {quick + "--baseline " + fifo, 2, "baseline.fifo: it is a pipe (FIFO), not a regular file"},
        {quick + "--baseline /dev/zero", 2, "/dev/zero: it is a device, not a regular file"},
        {quick + "--baseline " + huge, 2, "huge.json is larger than 4 MiB"},
        {quick + "--quiet --baseline " + fast, 0, "slower than the baseline"},
        {quick + "--component /etc/hostname", 2,
         "cannot load the component:\nFAIL  load.library: [required: load.entry-points] /etc/hostname"},
        {"--samples 0", 2, "--samples must be a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const BenchRun run = RunBench("TARVEL_FAULT=none", c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
}

}  // namespace
