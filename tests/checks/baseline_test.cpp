// tarvel-check bench --baseline on hand-made figures: which operations of a
// baseline file are taken, what counts as slower or faster (only intervals
// apart, never noise inside them), and the ratio of two medians with its
// interval, the same on every run.
#include "bench/baseline.h"
#include "bench/statistics.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Names(const std::vector<bench::BaselineEntry>& entries)
{
    std::string text;
    for (const bench::BaselineEntry& e : entries)
        text += (text.empty() ? "" : " ") + e.name + "=" + std::to_string(static_cast<int>(e.low)) + "/" +
                std::to_string(static_cast<int>(e.median)) + "/" + std::to_string(static_cast<int>(e.high));
    return text;
}

TEST(BenchBaseline, TakesEveryTimedOperationAndRefusesWhatIsNoBenchReport)
{
    TempFolder folder;
    const struct {
        const char* what;
        std::string text;
        const char* entries;  // Names() of what is read; nullptr when refused
        std::string error;    // after the path
    } cases[] = {
        {"timed, failed and incomplete operations",
         R"({"schema": "tarvel-bench/1", "operations": [
              {"name": "sha1.1m", "verdict": "timed", "wall_ns": {"median": 10, "ci_low": 9, "ci_high": 11}},
              {"name": "md5.40", "verdict": "fail", "failure": "wrong digest"},
              {"name": "partial", "wall_ns": {"median": 5}},
              {"name": "texts", "wall_ns": {"median": "5", "ci_low": "4", "ci_high": "6"}},
              {"wall_ns": {"median": 1, "ci_low": 1, "ci_high": 1}},
              {"name": "rsa.private.16", "wall_ns": {"median": 1e3, "ci_low": 900, "ci_high": 1.1e3}}]})",
         "sha1.1m=9/10/11 rsa.private.16=900/1000/1100", ""},
        {"nothing timed", R"({"schema": "tarvel-bench/1", "operations": []})", "", ""},
        {"no operations", R"({"schema": "tarvel-bench/1"})", nullptr, " has no operations"},
        {"operations that are no list", R"({"schema": "tarvel-bench/1", "operations": {}})", nullptr,
         " has no operations"},
        {"another schema", R"({"schema": "tarvel-bench/2", "operations": []})", nullptr,
         " is no tarvel-bench/1 report"},
        {"a check report", R"({"schema": "tarvel-check/1", "checks": []})", nullptr, " is no tarvel-bench/1 report"},
        {"a schema that is no text", R"({"schema": 1, "operations": []})", nullptr, " is no tarvel-bench/1 report"},
        {"a list", R"([{"schema": "tarvel-bench/1"}])", nullptr, " is no tarvel-bench/1 report"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write("baseline.json", c.text);
        std::string error;
        const auto entries = bench::ReadBaseline(path, error);
        if (c.entries) {
            ASSERT_TRUE(entries) << error;
            EXPECT_EQ(Names(*entries), c.entries);
        } else {
            EXPECT_FALSE(entries);
            EXPECT_EQ(error, path + c.error);
        }
    }
}

bench::Measurement Timed(const std::string& name, double low, double high, const std::string& failure = "")
{
    bench::Measurement m;
    m.name = name;
    m.failure = failure;
    m.ours.wall = bench::Summary{31, (low + high) / 2, low, high, high, low, high, 0.97};
    return m;
}

TEST(BenchBaseline, OnlyIntervalsApartCountAsAChange)
{
    using Change = bench::Comparison::Change;
    const std::vector<bench::BaselineEntry> before = {{"a", 100, 90, 110}, {"b", 100, 90, 110}};
    const struct {
        const char* what;
        bench::Measurement now;
        bool compared;
        Change change;
    } cases[] = {
        {"wholly above", Timed("a", 111, 130), true, Change::Slower},
        {"wholly below", Timed("a", 70, 89), true, Change::Faster},
        {"overlapping above", Timed("a", 105, 130), true, Change::Same},
        {"overlapping below", Timed("a", 70, 95), true, Change::Same},
        {"touching", Timed("a", 110, 130), true, Change::Same},
        {"wider around it", Timed("a", 50, 150), true, Change::Same},
        {"failed this time", Timed("a", 500, 600, "wrong digest"), false, Change::Same},
        {"new this time", Timed("c", 500, 600), false, Change::Same},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto comparisons = bench::CompareWithBaseline({c.now}, before);
        ASSERT_EQ(comparisons.size(), c.compared ? 1u : 0u);
        if (c.compared) {
            EXPECT_EQ(comparisons[0].name, c.now.name);
            EXPECT_EQ(comparisons[0].change, c.change);
            EXPECT_DOUBLE_EQ(comparisons[0].before.median, 100);
            EXPECT_DOUBLE_EQ(comparisons[0].now.low, c.now.ours.wall.low);
        }
    }
    // This run's order, whatever the baseline's.
    const auto both = bench::CompareWithBaseline({Timed("b", 1, 2), Timed("a", 200, 300)}, before);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].name, "b");
    EXPECT_EQ(both[0].change, Change::Faster);
    EXPECT_EQ(both[1].name, "a");
    EXPECT_EQ(both[1].change, Change::Slower);
}

TEST(BenchStatistics, TheRatioOfTwoMediansHasAnIntervalThatIsTheSameOnEveryRun)
{
    const struct {
        const char* what;
        std::vector<double> a, b;
        double median, low, high;  // low < 0: only low <= median <= high is known
        std::size_t count;
    } cases[] = {
        {"constant samples", {2, 2, 2}, {1, 1, 1, 1}, 2, 2, 2, 3},
        {"a twice b", {2, 4, 6, 8, 10}, {1, 2, 3, 4, 5}, 2, -1, -1, 5},
        {"one each", {9}, {3}, 3, 3, 3, 1},
        {"none", {}, {1}, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bench::Summary ratio = bench::MedianRatio(c.a, c.b);
        EXPECT_EQ(ratio.count, c.count);
        EXPECT_DOUBLE_EQ(ratio.median, c.median);
        if (c.low >= 0) {
            EXPECT_DOUBLE_EQ(ratio.low, c.low);
            EXPECT_DOUBLE_EQ(ratio.high, c.high);
        } else {
            EXPECT_LE(ratio.low, ratio.median);
            EXPECT_GE(ratio.high, ratio.median);
            EXPECT_LT(ratio.low, ratio.high);
            // Every resampled ratio lies between the extreme ones.
            EXPECT_GE(ratio.min, 2.0 / 5);
            EXPECT_LE(ratio.p99, 10.0 / 1);
        }
        const bench::Summary again = bench::MedianRatio(c.a, c.b);
        EXPECT_EQ(again.low, ratio.low);
        EXPECT_EQ(again.high, ratio.high);
    }
    EXPECT_DOUBLE_EQ(bench::MedianRatio({2, 4, 6}, {1, 2, 3}).coverage, 0.95);
    EXPECT_DOUBLE_EQ(bench::MedianRatio({2, 4, 6}, {1, 2, 3}, 0.9).coverage, 0.9);
}

}  // namespace
