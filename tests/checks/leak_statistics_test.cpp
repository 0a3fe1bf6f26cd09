// The t-tests behind a timing verdict on hand-made timings whose answer is
// known: which test sees a leak (the uncropped one, a crop, the second-order
// one), with what |t| and counts, and what the run could have seen at all.
// Nothing here is timed.
#include "timing/leak_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace timing;

// count values per class, cycling through each class's pattern.
LeakStatistics Filled(std::vector<double> thresholds, const std::vector<double>& fixed,
                      const std::vector<double>& random, std::size_t count)
{
    LeakStatistics statistics(std::move(thresholds));
    for (std::size_t i = 0; i < count; ++i) {
        statistics.Add(kFixed, fixed[i % fixed.size()]);
        statistics.Add(kRandom, random[i % random.size()]);
    }
    statistics.Refresh(true);
    return statistics;
}

TEST(LeakStatistics, TheLargestTIsTakenFromTheTestThatSeesTheLeak)
{
    // A crop at 150 ticks: the fast values differ by 4 ticks (101 against
    // 105, each of sample variance 200/199 over 200 values) under a slow tail
    // of 1000 and 9000 that drowns them uncropped.
    const double cropT = -4 / std::sqrt(2 * (200.0 / 199) / 200);
    // Equal means, the spread differs: squared deviations 100, 100, 225, 225
    // against 1, 1, 4, 4, i.e. means 162.5 and 2.5, each spread +-62.5 and
    // +-1.5 over 1000 values.
    const double secondOrderT = 160 / std::sqrt((62.5 * 62.5 + 1.5 * 1.5) / 999);
    const struct {
        const char* what;
        LeakStatistics statistics;
        double t;
        std::string test;
        std::size_t fixedCount, randomCount;
    } cases[] = {
        {"a shift of the fast values", Filled({150}, {100, 1000, 102, 9000}, {104, 1000, 106, 9000}, 400), cropT,
         "crop below p99.9 (150 ticks)", 200, 200},
        {"a shift of everything", Filled({}, {11, 13}, {10, 12}, 500), 1 / std::sqrt(2 * (500.0 / 499) / 500),
         "uncropped", 500, 500},
        {"a wider spread", Filled({}, {90, 110, 85, 115}, {99, 101, 98, 102}, 1000), secondOrderT, "second order", 1000,
         1000},
        // Below 1000 values the second-order test waits for steady means.
        {"a wider spread, too soon", Filled({}, {90, 110, 85, 115}, {99, 101, 98, 102}, 996), 0, "uncropped", 996, 996},
        // Below 100 values a class is too thin to be read at all.
        {"too few", Filled({}, {11, 13}, {10, 12}, 99), 0, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LargestT largest = c.statistics.Largest();
        EXPECT_NEAR(largest.t, c.t, 1e-9 * (1 + std::fabs(c.t)));
        EXPECT_EQ(largest.test, c.test);
        EXPECT_EQ(largest.counts[kFixed], c.fixedCount);
        EXPECT_EQ(largest.counts[kRandom], c.randomCount);
    }
}

TEST(LeakStatistics, WhatARunCouldSeeComesFromTestsThatKeepHalfOfEachClass)
{
    // The crop keeps exactly half of each class: it counts, and being
    // narrower than the uncropped test it sets the smallest shift.
    const LeakStatistics half = Filled({150}, {100, 1000, 102, 9000}, {104, 1000, 106, 9000}, 400);
    EXPECT_NEAR(half.SmallestShift(10), half.Crops()[0].SmallestShift(10), 1e-12);
    EXPECT_LT(half.SmallestShift(10), half.Uncropped().SmallestShift(10));
    // A crop keeping a quarter claims to see anything; it is left out.
    const LeakStatistics quarter = Filled({150}, {100, 1000, 102, 9000, 5000, 7000, 3000, 2000},
                                          {104, 1000, 106, 9000, 5000, 7000, 3000, 2000}, 400);
    EXPECT_NEAR(quarter.SmallestShift(10), quarter.Uncropped().SmallestShift(10), 1e-12);
    // Nothing readable: nothing could be seen.
    EXPECT_TRUE(std::isinf(Filled({}, {1, 2}, {1, 2}, 50).SmallestShift(10)));

    // The second-order test follows the values once they grew by a tenth.
    LeakStatistics growing = Filled({}, {90, 110}, {99, 101}, 1000);
    ASSERT_EQ(growing.SecondOrder().Count(kFixed), 1000u);
    for (int i = 0; i < 50; ++i) {
        growing.Add(kFixed, 90);
        growing.Add(kRandom, 99);
    }
    growing.Refresh();
    EXPECT_EQ(growing.SecondOrder().Count(kFixed), 1000u) << "refreshed after a growth of 5 %";
    for (int i = 0; i < 60; ++i) {
        growing.Add(kFixed, 110);
        growing.Add(kRandom, 101);
    }
    growing.Refresh();
    EXPECT_EQ(growing.SecondOrder().Count(kFixed), 1110u);
    EXPECT_EQ(growing.Values(kFixed).size(), 1110u);
}

}  // namespace
