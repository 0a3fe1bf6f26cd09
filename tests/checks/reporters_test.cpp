// The reporters over one run model: every format shows the same checks,
// verdicts, counts and times; hostile text stays text; and the pieces
// --shard, --expect-fail and the call log rest on.
#include "bench/bench_formats.h"
#include "runner/call_log.h"
#include "runner/console_style.h"
#include "runner/expect_fail.h"
#include "runner/json_reader.h"
#include "runner/json_text.h"
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/shard.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using checks::runner::CheckResult;
using checks::runner::RunSummary;
using checks::runner::Verdict;

CheckResult Result(const std::string& name, Verdict verdict, double seconds, std::vector<std::string> messages = {},
                   std::string expected = {})
{
    CheckResult r;
    r.name = name;
    r.suite = name.substr(0, name.find('.'));
    r.description = "what " + name + " looks at";
    r.verdict = verdict;
    r.seconds = seconds;
    r.messages = std::move(messages);
    r.expectedFailure = std::move(expected);
    return r;
}

RunSummary Model()
{
    RunSummary run;
    run.component = "/opt/acme/lib<acme>.so";
    run.origin.toolVersion = "9.8.7";
    run.origin.component = checks::runner::FileIdentity{4242, std::string(64, 'c')};
    run.level = checks::Level::Thorough;
    run.seed = 77;
    run.shard = "2/3";
    run.jobs = 2;
    run.seconds = 12.5;
    run.results = {
        Result("vectors.sha1.short-msg", Verdict::Pass, 1.234),
        Result("rsa.keys.16", Verdict::Fail, 2.5, {"[required: rsa.key] <script>alert(1)</script> \xff got"}),
        Result("contract.threads", Verdict::Skip, 0.25, {"one CPU"}),
        Result("rsa.copy", Verdict::Fail, 0.5, {"[required: rsa.copy] copy differs"}, "bug 12, fixed in 2.1"),
        Result("differential.md5", Verdict::Pass, 0.75, {}, "was flaky"),
    };
    run.results[0].notes = {"a note"};
    run.exitStatus = run.VerdictStatus();
    return run;
}

std::string Render(const std::string& format, const RunSummary& run)
{
    const auto* found = checks::runner::FindFormat(checks::runner::CheckReportFormats(), format);
    return found ? found->make()->Render(run) : "no format " + format;
}

// Each format, the same figures in its own spelling.
TEST(Reporters, EveryFormatShowsTheSameRun)
{
    const RunSummary run = Model();
    ASSERT_EQ(run.exitStatus, 1);
    const struct {
        const char* format;
        std::vector<std::string> shows;
    } cases[] = {
        {"text",
         {"(level thorough, seed 77, 5 checks, shard 2/3)", "PASS  vectors.sha1.short-msg  (1.23 s)",
          "FAIL  rsa.keys.16: [required: rsa.key] <script>", "\\xff got  (2.50 s)", "XFAIL  rsa.copy",
          "expected failure: bug 12, fixed in 2.1", "passed although expected to fail: was flaky",
          "2 passed, 1 failed, 1 skipped, 1 with notes, 1 expected failure, 1 passed although expected to fail in "
          "12.5 s"}},
        {"json",
         {"\"seed\": 77", "\"shard\": \"2/3\"", "\"sha256\": \"" + std::string(64, 'c'),
          "\"passed\": 2, \"failed\": 1, \"skipped\": 1, \"with_notes\": 1, \"expected_failures\": 1, "
          "\"unexpected_passes\": 1",
          "\"exit_status\": 1",
          "\"name\": \"vectors.sha1.short-msg\", \"suite\": \"vectors\", \"verdict\": "
          "\"pass\", \"seconds\": 1.234",
          "<script>alert(1)</script> \\\\xff got", "\"expected_failure\": \"bug 12, fixed in 2.1\"",
          "{\"id\": \"hash.digest\", \"class\": \"required\"}"}},
        {"junit",
         {"<testsuite name=\"vectors [shard 2/3]\"", "failures=\"1\"", "name=\"vectors.sha1.short-msg\" time=\"1.234\"",
          "<property name=\"component_sha256\" value=\"" + std::string(64, 'c'),
          "&lt;script&gt;alert(1)&lt;/script&gt; \\xff got",
          "<skipped message=\"expected failure: bug 12, fixed in 2.1\"",
          "passed although expected to fail: was flaky"}},
        {"html",
         {"FAILED: 2 passed, 1 failed, 1 skipped, 1 with notes", std::string(64, 'c'), "<td>thorough</td>",
          "<td>77</td>", "<td>2/3</td>", "<td>1</td>", "/opt/acme/lib&lt;acme&gt;.so", "<details class=\"fail\" open",
          "&lt;script&gt;alert(1)&lt;/script&gt; \\xff got", "1.23 s", "2.50 s", "<code>hash.digest</code> (required)",
          "expected failure: bug 12, fixed in 2.1", "passed although expected to fail: was flaky",
          "tarvel-check --component /opt/acme/lib&lt;acme&gt;.so --level thorough --seed 77 --only rsa.keys.16",
          "<svg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const std::string document = Render(c.format, run);
        for (const std::string& shown : c.shows)
            EXPECT_NE(document.find(shown), std::string::npos) << shown << "\n" << document;
        for (const CheckResult& r : run.results)
            EXPECT_NE(document.find(r.name), std::string::npos) << r.name;
    }
    // Nothing from outside becomes markup or a fetch in the page.
    const std::string html = Render("html", run);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("\xff"), std::string::npos);
    std::string withoutNamespace = html;
    for (std::size_t at; (at = withoutNamespace.find("http://www.w3.org/2000/svg")) != std::string::npos;)
        withoutNamespace.erase(at, 26);
    EXPECT_EQ(withoutNamespace.find("://"), std::string::npos) << "nothing but the SVG namespace names a URL";
    // Failures come first: the failing check's suite before the others.
    EXPECT_LT(html.find("rsa.keys.16"), html.find("vectors.sha1.short-msg"));
}

bench::Measurement Timed(const std::string& name, double median, std::optional<double> ratio)
{
    bench::Measurement m;
    m.name = name;
    m.bytes = 1000;
    m.ours.wall = {41, median, median * 0.9, median * 1.2, median * 1.5, median * 0.95, median * 1.05, 0.97};
    m.ours.cpu = m.ours.wall;
    if (ratio) {
        m.reference = m.ours;
        m.ratio = bench::Summary{41, *ratio, *ratio, *ratio, *ratio, *ratio * 0.9, *ratio * 1.1, 0.97};
    }
    return m;
}

TEST(Reporters, TheBenchFormatsShowTheSameFiguresAndTheTableFits80Columns)
{
    bench::BenchRun run;
    run.component = "/opt/acme/libacme.so";
    run.settings.vsOpenSsl = true;
    run.measurements = {Timed("sha1.1m", 500, 0.5), Timed("sha1.16k", 10e3, 2.0), Timed("md5.40", 150, 0.25)};
    run.measurements.back().failure = "MD5 of 40 bytes: the component gave 00, OpenSSL gives 01";
    run.exitStatus = 1;
    // The failed operation has no figure in the mean: sqrt(0.5 * 2) = 1.
    ASSERT_TRUE(bench::GeometricMeanRatio(run));
    EXPECT_NEAR(*bench::GeometricMeanRatio(run), 1.0, 1e-12);
    const std::string table = bench::Table(run);
    const std::string json = bench::BenchJson(run);
    const std::string html = checks::runner::FindFormat(bench::BenchReportFormats(), "html")->make()->Render(run);
    for (const std::string& shown :
         {std::string("ratio = ours / OpenSSL, below 1 is faster"), std::string("geometric mean of 2 ratios: 1.000"),
          std::string("2000.0 MB/s"), std::string("0.500 [0.450, 0.550]"), std::string("FAILED: MD5 of 40 bytes")})
        EXPECT_NE(table.find(shown), std::string::npos) << shown << "\n" << table;
    EXPECT_NE(json.find("\"geometric_mean_ratio\": 1,"), std::string::npos) << json;
    for (const std::string& shown :
         {std::string("<td>1.000 (ours"), std::string("<td>2000.0 MB/s</td>"),
          std::string("<td>0.500 [0.450, 0.550]</td>"), std::string("MD5 of 40 bytes: the component gave 00"),
          std::string("ours faster"), std::string("ours slower")})
        EXPECT_NE(html.find(shown), std::string::npos) << shown;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("FAILED") != std::string::npos)
            continue;  // a failure's reason is as long as it is
        std::size_t columns = 0;
        for (const unsigned char c : line)
            columns += (c & 0xC0) != 0x80;
        EXPECT_LE(columns, 80u) << line;
    }
}

// Figures as a JSON reader gets them: rounded as the report says, whole
// ones without a fraction, no more digits than read back the same, and
// null where there is no number, so that a run whose clock gave none still
// writes a document JSON readers take.
TEST(Reporters, JsonFiguresAreRoundedAndNeverNaN)
{
    const struct {
        double value;
        const char* format;
        const char* text;
    } cases[] = {
        {1.0, "%.6g", "1"},          {0.923568, "%.6g", "0.923568"}, {1024549.9, "%.6g", "1024550"},
        {1.5e-7, "%.6g", "1.5e-07"}, {1.23449, "%.3f", "1.234"},     {2.0004, "%.3f", "2"},
        {-0.0001, "%.3f", "0"},      {NAN, "%.6g", "null"},          {INFINITY, "%.3f", "null"},
        {-INFINITY, "%.6g", "null"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checks::JsonLayout({{"x", checks::JsonFigure(c.value, c.format)}}),
                  std::string("{\n  \"x\": ") + c.text + "\n}\n");

    RunSummary summary;
    summary.seconds = NAN;
    summary.results = {Result("hash.digest", Verdict::Pass, INFINITY)};
    std::string error;
    const auto document = checks::runner::ParseJson(checks::runner::JsonDocument(summary), error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->Field("seconds")->kind, checks::runner::JsonValue::Kind::Null);
    EXPECT_EQ(document->Field("checks")->items.at(0).Field("seconds")->kind, checks::runner::JsonValue::Kind::Null);
}

TEST(Shards, TogetherHoldEveryCheckOnceAndBalanceTheTime)
{
    std::vector<std::string> names;
    std::vector<double> seconds;
    for (int i = 0; i < 48; ++i) {
        names.push_back("suite.check" + std::to_string(i));
        seconds.push_back(i == 7 ? 29.0 : i == 30 ? 17.5 : 0.01 * (i % 5));
    }
    for (unsigned count = 1; count <= 6; ++count) {
        SCOPED_TRACE(count);
        std::multiset<std::size_t> seen;
        for (unsigned index = 1; index <= count; ++index) {
            const auto part = checks::runner::ShardPositions(names, seconds, index, count);
            EXPECT_TRUE(std::is_sorted(part.begin(), part.end())) << "parts keep the checks' order";
            EXPECT_EQ(part, checks::runner::ShardPositions(names, seconds, index, count)) << "deterministic";
            seen.insert(part.begin(), part.end());
            if (count >= 2 && index <= 2) {  // the two long checks go to different parts
                EXPECT_EQ(std::count(part.begin(), part.end(), 7) + std::count(part.begin(), part.end(), 30), 1);
            }
        }
        EXPECT_EQ(seen.size(), names.size());
        EXPECT_EQ(std::set<std::size_t>(seen.begin(), seen.end()).size(), names.size()) << "none twice";
    }
}

TEST(ExpectFail, ReadsNamesAndReasonsAndRefusesWhatIsAmbiguous)
{
    TempFolder folder;
    const struct {
        const char* text;
        const char* error;  // nullptr: read
    } cases[] = {
        {"# known\n\nrsa.keys.16  bug 12: CRT off by one  \n\tcontract.threads\tone CPU\n", nullptr},
        {"rsa.keys.16\n", "line 1: a check name and a reason are expected"},
        {"rsa.keys.16 a\nrsa.keys.16 b\n", "line 2: rsa.keys.16 is listed twice"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto listed = checks::runner::ReadExpectFail(folder.Write("list", c.text), error);
        if (!c.error) {
            ASSERT_TRUE(listed) << error;
            EXPECT_EQ(*listed, (std::map<std::string, std::string>{{"rsa.keys.16", "bug 12: CRT off by one"},
                                                                   {"contract.threads", "one CPU"}}));
        } else {
            EXPECT_FALSE(listed);
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
    std::string error;
    EXPECT_FALSE(checks::runner::ReadExpectFail(folder.File("missing"), error));
}

TEST(CallLog, RunsOfOneCallAreJoinedAcrossFrames)
{
    CheckResult result;
    checks::runner::AddCalls(result, "CoCreateInstance(IHashSHA1)\t1\nIHashSHA1::HashData\t3\n");
    checks::runner::AddCalls(result, "IHashSHA1::HashData\t2\nIHashSHA1::GetHash\t1\nbroken line\n");
    EXPECT_EQ(result.calls, (std::vector<std::string>{"CoCreateInstance(IHashSHA1)", "IHashSHA1::HashData \u00d75",
                                                      "IHashSHA1::GetHash"}));
    EXPECT_EQ(checks::runner::SplitCall(result.calls[1]),
              std::make_pair(std::string("IHashSHA1::HashData"), std::size_t(5)));
}

TEST(Console, TheProgressLineKeepsItsEstimateWithinTheWidth)
{
    const std::string line = checks::runner::ProgressText(
        12, 48, {"rsa.keys.256", "vectors.sha1.4gib", "differential.rsa", "differential.md5"}, 83.2, 60);
    EXPECT_EQ(line.rfind("[12/48] rsa.keys.256", 0), 0u) << line;
    EXPECT_NE(line.find("about 1 min 24 s left"), std::string::npos) << line;
    std::size_t columns = 0;
    for (const unsigned char c : line)
        columns += (c & 0xC0) != 0x80;
    EXPECT_LE(columns, 60u) << line;
}

}  // namespace
