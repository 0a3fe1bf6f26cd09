// The counts of a run as CI reads them: for runs of every shape (nothing
// failed, only expected failures, failures in several suites, no check at
// all), the JSON summary, the JUnit totals and their per-suite sums, the
// console's summary line and the page's verdict agree with each other and
// with the exit status. JSON and XML are read back by Python's parsers.
#include "runner/report_formats.h"
#include "runner/reports.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using checks::runner::CheckResult;
using checks::runner::RunSummary;
using checks::runner::Verdict;

CheckResult Check(const std::string& name, Verdict verdict, std::vector<std::string> messages = {},
                  std::vector<std::string> notes = {}, std::string expected = {})
{
    CheckResult r;
    r.name = name;
    r.suite = name.substr(0, name.find('.'));
    r.verdict = verdict;
    r.messages = std::move(messages);
    r.notes = std::move(notes);
    r.expectedFailure = std::move(expected);
    r.seconds = 0.5;
    return r;
}

// For each pair of files: the JSON summary, exit status and check count; the
// JUnit totals; the sums over its testsuites; the <failure> and <skipped>
// elements of its testcases.
constexpr const char* kCounts = R"(
import json, sys, xml.etree.ElementTree as et
for at in range(1, len(sys.argv), 2):
    run = json.load(open(sys.argv[at], encoding="utf-8"))
    s = run["summary"]
    junit = et.parse(sys.argv[at + 1]).getroot()
    suites = junit.findall("testsuite")
    total = lambda key: sum(int(x.get(key)) for x in suites)
    print("json %d %d %d %d %d %d exit %d checks %d | junit %s %s %s | suites %d %d %d | cases %d %d %d" % (
        s["passed"], s["failed"], s["skipped"], s["with_notes"], s["expected_failures"], s["unexpected_passes"],
        run["exit_status"], len(run["checks"]), junit.get("tests"), junit.get("failures"), junit.get("skipped"),
        total("tests"), total("failures"), total("skipped"), len(junit.findall(".//testcase")),
        len(junit.findall(".//testcase/failure")), len(junit.findall(".//testcase/skipped"))))
)";

std::string Counted(const std::vector<std::string>& files)
{
    std::string command = "python3 -c '" + std::string(kCounts) + "'";
    for (const std::string& file : files)
        command += " '" + file + "'";
    std::string output;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

TEST(ReportCounts, EveryFormatCountsARunOfAnyShapeAlikeAndAgreesWithTheExitStatus)
{
    const struct {
        const char* what;
        std::vector<CheckResult> results;
        const char* counts;  // what the JSON and JUnit documents read as
        const char* summary;
        bool failed;
    } cases[] = {
        {"no check",
         {},
         "json 0 0 0 0 0 0 exit 0 checks 0 | junit 0 0 0 | suites 0 0 0 | cases 0 0 0",
         "0 passed, 0 failed, 0 skipped, 0 with notes",
         false},
        {"all passed",
         {Check("load.library", Verdict::Pass), Check("vectors.sha1.short-msg", Verdict::Pass, {}, {"slow"}),
          Check("vectors.md5.rfc1321", Verdict::Pass)},
         "json 3 0 0 1 0 0 exit 0 checks 3 | junit 3 0 0 | suites 3 0 0 | cases 3 0 0",
         "3 passed, 0 failed, 0 skipped, 1 with notes",
         false},
        // Expected failures do not fail the run; CI sees them as skipped.
        {"only what was expected",
         {Check("rsa.copy", Verdict::Fail, {"copy differs"}, {}, "bug 12"),
          Check("rsa.keys.16", Verdict::Fail, {"CRT off"}, {}, "bug 13"),
          Check("contract.threads", Verdict::Skip, {"one CPU"}),
          Check("differential.md5", Verdict::Pass, {}, {}, "was flaky")},
         "json 1 0 1 0 2 1 exit 0 checks 4 | junit 4 0 3 | suites 4 0 3 | cases 4 0 3",
         "1 passed, 0 failed, 1 skipped, 0 with notes, 2 expected failures, 1 passed although expected to fail",
         false},
        {"failures in two suites",
         {Check("rsa.copy", Verdict::Fail, {"copy differs\nexpected: 01\ngot:      02", "and more"}),
          Check("vectors.sha1.short-msg", Verdict::Pass), Check("rsa.keys.16", Verdict::Pass),
          Check("vectors.sha1.monte", Verdict::Fail, {"checkpoint 0 differs"}),
          Check("contract.threads", Verdict::Skip, {"one CPU"}, {"a note on a skip"}),
          Check("rsa.asy-texts", Verdict::Fail, {"user-id lost"}, {"a note on a failure"})},
         "json 2 3 1 1 0 0 exit 1 checks 6 | junit 6 3 1 | suites 6 3 1 | cases 6 3 1",
         "2 passed, 3 failed, 1 skipped, 1 with notes",
         true},
    };
    TempFolder folder;
    std::vector<std::string> files;
    std::string expected;
    for (const auto& c : cases) {
        RunSummary run;
        run.component = "/opt/lib.so";
        run.results = c.results;
        run.exitStatus = run.VerdictStatus();
        EXPECT_EQ(run.exitStatus, c.failed ? 1 : 0) << c.what;
        const std::string name = std::to_string(files.size() / 2);
        files.push_back(folder.Write(name + ".json", checks::runner::JsonDocument(run)));
        files.push_back(folder.Write(name + ".xml", checks::runner::JunitDocument(run)));
        expected += std::string(c.counts) + "\n";

        SCOPED_TRACE(c.what);
        EXPECT_EQ(checks::runner::SummaryLine(run), c.summary);
        const auto render = [&](const char* format) {
            return checks::runner::FindFormat(checks::runner::CheckReportFormats(), format)->make()->Render(run);
        };
        const std::string text = render("text"), html = render("html");
        EXPECT_NE(text.find(c.summary), std::string::npos) << text;
        EXPECT_NE(html.find(std::string(c.failed ? "FAILED: " : "PASSED: ") + c.summary), std::string::npos);
        for (const CheckResult& r : c.results) {
            EXPECT_NE(text.find(r.name), std::string::npos) << r.name;
            EXPECT_NE(html.find(r.name), std::string::npos) << r.name;
        }
    }
    EXPECT_EQ(Counted(files), expected);
}

}  // namespace
