// Welch's t-test between the two classes of a timing test, with the mean
// and variance kept as running moments so a million measurements need no
// second pass.
#pragma once

#include <cstddef>

namespace timing {

// The two input classes: the fixed one and the random one.
enum Class : int { kFixed = 0, kRandom = 1 };

// Count, mean and sum of squared deviations, updated one value at a time
// (Welford), which stays exact where a sum of squares would cancel.
struct Moments {
    double count = 0;
    double mean = 0;
    double m2 = 0;

    void Add(double x)
    {
        count += 1;
        const double delta = x - mean;
        mean += delta / count;
        m2 += delta * (x - mean);
    }
    double Variance() const { return count > 1 ? m2 / (count - 1) : 0; }
};

struct WelchTest {
    Moments classes[2];

    void Add(Class c, double x) { classes[c].Add(x); }
    std::size_t Count(Class c) const { return static_cast<std::size_t>(classes[c].count); }
    // The difference of the means over its standard error; 0 until both
    // classes have two values and some spread.
    double T() const;
    // The smallest difference of the means that would have given |t| at the
    // threshold with these counts and spreads: what this test could see.
    double SmallestShift(double threshold) const;
};

}  // namespace timing
