#include "timing/leak_statistics.h"

#include "bench/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace timing {
namespace {

// A test whose classes hold fewer values than this is too thin to be read:
// the top crops of a short run hold a handful of values and their t means
// nothing.
constexpr double kFewestPerClass = 100;

// The second-order test starts once the class means it centres on are
// steady.
constexpr std::size_t kSecondOrderAfter = 1000;

bool Readable(const WelchTest& test)
{
    return test.classes[kFixed].count >= kFewestPerClass && test.classes[kRandom].count >= kFewestPerClass;
}

}  // namespace

double CropFraction(std::size_t i, std::size_t count)
{
    return 1.0 - std::pow(0.5, 10.0 * static_cast<double>(i + 1) / static_cast<double>(count));
}

std::vector<double> CropThresholds(std::vector<double> calibration, std::size_t count)
{
    std::sort(calibration.begin(), calibration.end());
    std::vector<double> thresholds;
    thresholds.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        thresholds.push_back(bench::Percentile(calibration, CropFraction(i, count)));
    return thresholds;
}

LeakStatistics::LeakStatistics(std::vector<double> cropThresholds)
    : m_thresholds(std::move(cropThresholds)), m_crops(m_thresholds.size())
{
}

void LeakStatistics::Add(Class c, double ticks)
{
    m_values[c].push_back(static_cast<float>(ticks));
    m_uncropped.Add(c, ticks);
    for (std::size_t i = 0; i < m_thresholds.size(); ++i)
        if (ticks < m_thresholds[i])
            m_crops[i].Add(c, ticks);
}

void LeakStatistics::Refresh(bool force)
{
    const std::size_t count = m_values[kFixed].size() + m_values[kRandom].size();
    if (!force && 10 * count < 11 * m_secondOrderAt)
        return;
    m_secondOrderAt = count;
    m_secondOrder = WelchTest();
    if (std::min(m_values[kFixed].size(), m_values[kRandom].size()) < kSecondOrderAfter)
        return;
    for (Class c : {kFixed, kRandom}) {
        const double mean = m_uncropped.classes[c].mean;
        for (const float value : m_values[c]) {
            const double deviation = value - mean;
            m_secondOrder.Add(c, deviation * deviation);
        }
    }
}

LargestT LeakStatistics::Largest() const
{
    // The name is made for the winner only: this runs after every batch.
    const WelchTest* best = nullptr;
    std::size_t bestIndex = 0;  // 0 uncropped, 1..crops, crops + 1 second order
    const auto consider = [&](const WelchTest& test, std::size_t index) {
        if (Readable(test) && (!best || std::fabs(test.T()) > std::fabs(best->T()))) {
            best = &test;
            bestIndex = index;
        }
    };
    consider(m_uncropped, 0);
    for (std::size_t i = 0; i < m_crops.size(); ++i)
        consider(m_crops[i], i + 1);
    consider(m_secondOrder, m_crops.size() + 1);
    LargestT largest;
    if (!best)
        return largest;
    largest.t = best->T();
    largest.counts[kFixed] = best->Count(kFixed);
    largest.counts[kRandom] = best->Count(kRandom);
    if (bestIndex == 0) {
        largest.test = "uncropped";
    } else if (bestIndex > m_crops.size()) {
        largest.test = "second order";
    } else {
        char name[64];
        std::snprintf(name, sizeof name, "crop below p%.1f (%.0f ticks)",
                      100 * CropFraction(bestIndex - 1, m_crops.size()), m_thresholds[bestIndex - 1]);
        largest.test = name;
    }
    return largest;
}

double LeakStatistics::SmallestShift(double threshold) const
{
    // Only tests that keep at least half of each class: a shift of the whole
    // distribution shows in them, while a thin low crop of quantised timings
    // has a spread near zero and would claim to see anything.
    const auto broad = [&](const WelchTest& test) {
        return Readable(test) && 2 * test.classes[kFixed].count >= m_uncropped.classes[kFixed].count &&
               2 * test.classes[kRandom].count >= m_uncropped.classes[kRandom].count;
    };
    double smallest = broad(m_uncropped) ? m_uncropped.SmallestShift(threshold) : INFINITY;
    for (const WelchTest& crop : m_crops)
        if (broad(crop))
            smallest = std::min(smallest, crop.SmallestShift(threshold));
    return smallest;
}

}  // namespace timing
