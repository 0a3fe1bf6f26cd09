// The set of t-tests one subject's timings go through, as dudect runs them:
// the uncropped timings, the timings cropped at a ladder of percentiles
// (a leak that only shifts the fast cases is drowned by the slow tail of
// interrupts and preemptions; a crop keeps only what lies below its
// threshold), and a second-order test on the squared deviations from each
// class's mean, which sees a leak that changes the spread but not the mean.
// The second-order test centres on each class's mean over all its values,
// not on the running mean dudect uses: on a machine whose speed drifts, a
// running mean lags, and the lag differs between the classes by chance
// early on, which alone gave |t| near 40 on the bundled component here.
#pragma once

#include "timing/welch.h"

#include <cstddef>
#include <string>
#include <vector>

namespace timing {

// Crop thresholds from timings taken before the tests start, both classes
// pooled: the value at 1 - 0.5^(10 (i + 1) / count) for i < count, dense
// near the top where the tail begins. Calibration must not be empty.
std::vector<double> CropThresholds(std::vector<double> calibration, std::size_t count = 100);
// The fraction crop i of count keeps: 1 - 0.5^(10 (i + 1) / count).
double CropFraction(std::size_t i, std::size_t count);

// Where the largest |t| of a subject was seen.
struct LargestT {
    double t = 0;             // signed: positive when the fixed class is slower
    std::string test;         // "uncropped", "crop below p93.3 (123456 ticks)", "second order"
    std::size_t counts[2]{};  // measurements of each class in that test
};

class LeakStatistics {
public:
    LeakStatistics() = default;
    explicit LeakStatistics(std::vector<double> cropThresholds);

    void Add(Class c, double ticks);
    // Recomputes the second-order test when the values grew by a tenth
    // since it was last computed, or always with force; it covers only
    // classes of at least 1000 values.
    void Refresh(bool force = false);

    // Measurements taken (uncropped), per class.
    std::size_t Count(Class c) const { return m_uncropped.Count(c); }
    LargestT Largest() const;
    // The smallest shift of the mean, in ticks, that the most sensitive
    // first-order test keeping at least half of each class could have seen
    // at |t| = threshold.
    double SmallestShift(double threshold) const;

    const WelchTest& Uncropped() const { return m_uncropped; }
    const WelchTest& SecondOrder() const { return m_secondOrder; }
    const std::vector<WelchTest>& Crops() const { return m_crops; }
    const std::vector<double>& Thresholds() const { return m_thresholds; }
    // Every value, per class, in the order taken.
    const std::vector<float>& Values(Class c) const { return m_values[c]; }

private:
    std::vector<double> m_thresholds;
    std::vector<WelchTest> m_crops;
    WelchTest m_uncropped;
    WelchTest m_secondOrder;
    std::vector<float> m_values[2];
    std::size_t m_secondOrderAt = 0;  // values when it was last computed
};

}  // namespace timing
