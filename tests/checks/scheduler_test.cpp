// The scheduler behind --jobs: whatever order checks finish in, each result
// belongs to its own check and comes back in the list's order, a crash in
// one child stays that check's, and a serial run gives the same results.
#include "runner/check_scheduler.h"
#include "runner/svg_chart.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using checks::runner::CheckResult;
using checks::runner::Verdict;

std::vector<checks::CheckDef> Checks()
{
    std::vector<checks::CheckDef> checks;
    for (int i = 0; i < 7; ++i) {
        checks::CheckDef check;
        check.name = "sched.check" + std::to_string(i);
        check.timeoutSeconds = 20;
        // Earlier checks take longer, so with several at a time they finish
        // in the reverse of the list's order.
        check.body = [i](checks::Context& ctx) {
            usleep(static_cast<useconds_t>((7 - i) * 15000));
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
    const auto checks = Checks();
    // Expected times that put the last checks first.
    const std::vector<double> expected = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7};
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
        const auto results = checks::runner::RunChecks(checks, expected, options, jobs, callbacks);
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
