// Spread statistics for benchmarks whose single runs vary a lot (key
// generation): Google Benchmark reports them beside mean and median.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

// Linear interpolation between the closest ranks, as most tools compute it.
inline double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = fraction * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const auto above = std::min(below + 1, values.size() - 1);
    return values[below] + (rank - static_cast<double>(below)) * (values[above] - values[below]);
}

inline double Percentile10(const std::vector<double>& values)
{
    return Percentile(values, 0.10);
}

inline double Percentile90(const std::vector<double>& values)
{
    return Percentile(values, 0.90);
}

}  // namespace bench
