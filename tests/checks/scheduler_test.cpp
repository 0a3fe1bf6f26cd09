// The scheduler behind --jobs: whatever order checks finish in, each result
// belongs to its own check and comes back in the list's order, a crash in
// one child stays that check's, a check to run alone has no other beside it,
// and a serial run gives the same results.
#include "runner/check_scheduler.h"
#include "runner/svg_chart.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using checks::runner::CheckResult;
using checks::runner::Verdict;

// Each body writes "+i" when it starts and "-i" when it ends into log.
void Mark(const std::string& log, char sign, int i)
{
    const int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    const std::string line = sign + std::to_string(i) + "\n";
    if (fd >= 0 && write(fd, line.data(), line.size()) < 0)
        perror("write");
    if (fd >= 0)
        close(fd);
}

std::vector<checks::CheckDef> Checks(const std::string& log)
{
    std::vector<checks::CheckDef> checks;
    for (int i = 0; i < 7; ++i) {
        checks::CheckDef check;
        check.name = "sched.check" + std::to_string(i);
        check.timeoutSeconds = 20;
        // Earlier checks take longer, so with several at a time they finish
        // in the reverse of the list's order.
        check.body = [i, log](checks::Context& ctx) {
            Mark(log, '+', i);
            usleep(static_cast<useconds_t>((7 - i) * 15000));
            Mark(log, '-', i);
            if (i % 3 == 1)
                ctx.Fail("fail " + std::to_string(i));
            if (i == 4)
                raise(SIGSEGV);
            ctx.Note("note " + std::to_string(i));
        };
        checks.push_back(std::move(check));
    }
    return checks;
}

TEST(Scheduler, ResultsComeBackInTheListsOrderEachWithItsOwnVerdict)
{
    TempFolder folder;
    const std::string log = folder.File("log");
    const auto checks = Checks(log);
    // Expected times that put the last checks first; 2 and 5 run alone.
    std::vector<checks::runner::CheckPlan> plans;
    for (int i = 0; i < 7; ++i)
        plans.push_back({0.1 * (i + 1), i == 2 || i == 5});
    checks::SuiteOptions options;
    std::vector<std::vector<std::string>> runs;
    for (const unsigned jobs : {1u, 3u, 7u}) {
        SCOPED_TRACE(jobs);
        std::vector<std::size_t> order;
        checks::runner::ScheduleCallbacks callbacks;
        callbacks.finished = [&](std::size_t index, CheckResult& result) {
            order.push_back(index);
            EXPECT_EQ(result.name, checks[index].name);
        };
        std::filesystem::remove(log);
        const auto results = checks::runner::RunChecks(checks, plans, options, jobs, callbacks);
        // A check to run alone started with nothing running and ran alone.
        std::ifstream lines(log);
        std::set<std::string> running;
        for (std::string line; std::getline(lines, line);) {
            const std::string check = line.substr(1);
            if (line[0] == '+') {
                EXPECT_TRUE(running.empty() ||
                            (check != "2" && check != "5" && !running.count("2") && !running.count("5")))
                    << check << " started beside another";
                running.insert(check);
            } else {
                running.erase(check);
            }
        }
        EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
        ASSERT_EQ(results.size(), checks.size());
        std::vector<std::string> seen;
        for (std::size_t i = 0; i < results.size(); ++i) {
            const CheckResult& r = results[i];
            EXPECT_EQ(r.name, checks[i].name);
            EXPECT_EQ(r.verdict, i % 3 == 1 || i == 4 ? Verdict::Fail : Verdict::Pass) << r.name;
            std::string summary = r.name + " " + VerdictName(r.verdict);
            for (const std::string& m : r.messages)
                summary += " | " + m;
            for (const std::string& n : r.notes)
                summary += " | " + n;
            seen.push_back(summary);
        }
        EXPECT_NE(seen[4].find("crashed with signal 11"), std::string::npos) << seen[4];
        EXPECT_NE(seen[1].find("] fail 1 | note 1"), std::string::npos) << seen[1];
        runs.push_back(seen);
    }
    EXPECT_EQ(runs[1], runs[0]);
    EXPECT_EQ(runs[2], runs[0]);
}

TEST(SvgChart, DrawsOnlyWhatAnAxisCanHoldAndEscapesLabels)
{
    checks::runner::RangeChart chart;
    chart.logScale = true;
    chart.marker = 1.0;
    chart.series = {"<ours>"};
    chart.rows = {{"<b>sha1</b>", {{0, 0.5, 0.9, 1.0, 1.1, 2.0}}},
                  {"zero and below", {{0, 0.0, -1.0, NAN, INFINITY, -INFINITY}}},
                  {"tiny", {{0, 1e-3, 1e-3, 1e-3, 1e-3, 1e-3}}}};
    const std::string svg = checks::runner::DrawRangeChart(chart);
    ASSERT_FALSE(svg.empty());
    for (const char* never : {"nan", "inf", "<b>", "<ours>"})
        EXPECT_EQ(svg.find(never), std::string::npos) << never << "\n" << svg;
    EXPECT_NE(svg.find("&lt;b&gt;sha1&lt;/b&gt;"), std::string::npos);
    // Nothing finite: nothing drawn, rather than an axis from nowhere.
    chart.rows = {{"none", {{0, NAN, NAN, NAN, NAN, NAN}}}};
    EXPECT_EQ(checks::runner::DrawRangeChart(chart), "");
    // One value: an axis around it all the same.
    chart.logScale = false;
    chart.marker.reset();
    chart.rows = {{"one", {{0, 2.0, 2.0, 2.0, 2.0, 2.0}}}};
    EXPECT_NE(checks::runner::DrawRangeChart(chart).find("<line"), std::string::npos);
}

}  // namespace
