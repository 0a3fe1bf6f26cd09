#include "bench/statistics.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace bench {
namespace {

// P(X <= k) for X ~ Binomial(n, 1/2), summed in logarithms so that large
// sample counts do not underflow.
double BinomialHalfCdf(std::size_t n, std::size_t k)
{
    double total = 0;
    const double logHalfPower = static_cast<double>(n) * std::log(0.5);
    for (std::size_t i = 0; i <= k && i <= n; ++i)
        total += std::exp(std::lgamma(n + 1.0) - std::lgamma(i + 1.0) - std::lgamma(n - i + 1.0) + logHalfPower);
    return std::min(total, 1.0);
}

}  // namespace

double Percentile(const std::vector<double>& sorted, double p)
{
    const double position = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + fraction * (sorted[above] - sorted[below]);
}

MedianInterval MedianIntervalIndices(std::size_t count, double level)
{
    MedianInterval interval;
    if (count == 0)
        return interval;
    // The interval between the k-th smallest and the k-th largest misses the
    // median when at most k-1 samples fall on one side of it.
    const double tail = (1.0 - level) / 2.0;
    std::size_t k = 1;
    while (k + 1 <= count / 2 && BinomialHalfCdf(count, k) <= tail)
        ++k;
    interval.low = k - 1;
    interval.high = count - k;
    interval.coverage = 1.0 - 2.0 * (k >= 1 ? BinomialHalfCdf(count, k - 1) : 0.0);
    return interval;
}

Summary Summarize(std::vector<double> samples)
{
    Summary summary;
    summary.count = samples.size();
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    summary.median = Percentile(samples, 0.5);
    summary.min = samples.front();
    summary.p90 = Percentile(samples, 0.90);
    summary.p99 = Percentile(samples, 0.99);
    const MedianInterval interval = MedianIntervalIndices(samples.size());
    summary.low = samples[interval.low];
    summary.high = samples[interval.high];
    summary.coverage = interval.coverage;
    return summary;
}

Summary MedianRatio(const std::vector<double>& a, const std::vector<double>& b, double level)
{
    Summary ratio;
    if (a.empty() || b.empty())
        return ratio;
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return Percentile(values, 0.5);
    };
    constexpr int kResamples = 2000;
    std::mt19937_64 random(20261208);
    std::vector<double> ratios, drawnA(a.size()), drawnB(b.size());
    ratios.reserve(kResamples);
    for (int r = 0; r < kResamples; ++r) {
        for (double& x : drawnA)
            x = a[random() % a.size()];
        for (double& x : drawnB)
            x = b[random() % b.size()];
        ratios.push_back(median(drawnA) / median(drawnB));
    }
    std::sort(ratios.begin(), ratios.end());
    ratio.count = std::min(a.size(), b.size());
    ratio.median = median(a) / median(b);
    ratio.min = ratios.front();
    ratio.p90 = Percentile(ratios, 0.90);
    ratio.p99 = Percentile(ratios, 0.99);
    ratio.low = Percentile(ratios, (1 - level) / 2);
    ratio.high = Percentile(ratios, 1 - (1 - level) / 2);
    ratio.coverage = level;
    return ratio;
}

}  // namespace bench
