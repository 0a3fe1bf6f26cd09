// Order statistics of timing samples: nothing is assumed about their
// distribution, which for timings is skewed and often has more than one mode.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

// The value at fraction p (0..1) of sorted samples, interpolated linearly
// between the two nearest order statistics (numpy's default method).
// Sorted must not be empty.
double Percentile(const std::vector<double>& sorted, double p);

// Which order statistics bound a confidence interval of the median: the
// interval [sorted[low], sorted[high]] holds the true median with probability
// coverage, the least above the level asked for that the sample count allows.
// Below 6 samples no pair reaches 95 %; the widest (min, max) is given then,
// with its smaller coverage.
struct MedianInterval {
    std::size_t low = 0;
    std::size_t high = 0;
    double coverage = 0;
};
MedianInterval MedianIntervalIndices(std::size_t count, double level = 0.95);

struct Summary {
    std::size_t count = 0;
    double median = 0;
    double min = 0;
    double p90 = 0;
    double p99 = 0;
    double low = 0;  // the median's interval
    double high = 0;
    double coverage = 0;
};
// Empty samples give a Summary of count 0.
Summary Summarize(std::vector<double> samples);

// The ratio of the medians of two independent samples (a over b), with a
// percentile bootstrap interval from a fixed seed, so the same samples always
// give the same interval. For samples that are not paired, such as one key
// per sample, where each key's time is its own luck.
Summary MedianRatio(const std::vector<double>& a, const std::vector<double>& b, double level = 0.95);

}  // namespace bench
