#include "timing/welch.h"

#include <cmath>
#include <limits>

namespace timing {
namespace {

double StandardError(const WelchTest& test)
{
    const Moments& a = test.classes[kFixed];
    const Moments& b = test.classes[kRandom];
    if (a.count < 2 || b.count < 2)
        return 0;
    return std::sqrt(a.Variance() / a.count + b.Variance() / b.count);
}

}  // namespace

double WelchTest::T() const
{
    const double error = StandardError(*this);
    if (!(error > 0))
        return 0;
    return (classes[kFixed].mean - classes[kRandom].mean) / error;
}

double WelchTest::SmallestShift(double threshold) const
{
    const double error = StandardError(*this);
    return error > 0 ? threshold * error : std::numeric_limits<double>::infinity();
}

}  // namespace timing
