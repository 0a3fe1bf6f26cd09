#include "timing/verdict.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace timing {
namespace {

std::string Fixed1(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

double AbsT(const SubjectFigures& figures)
{
    return std::fabs(figures.statistics.Largest().t);
}

std::size_t Measurements(const SubjectFigures& figures)
{
    return figures.statistics.Count(kFixed) + figures.statistics.Count(kRandom);
}

double Median(std::vector<float> values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

std::string Grouped(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), " ");
    return digits;
}

double MedianTicks(const SubjectFigures& figures, Class c)
{
    return Median(figures.statistics.Values(c));
}

std::vector<double> QuantileTicks(const SubjectFigures& figures, Class c, const std::vector<double>& fractions)
{
    std::vector<float> values = figures.statistics.Values(c);
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    std::vector<double> quantiles;
    for (const double fraction : fractions) {
        const double at = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(values.size() - 1);
        quantiles.push_back(values[static_cast<std::size_t>(std::lround(at))]);
    }
    return quantiles;
}

double MedianTicks(const SubjectFigures& figures)
{
    std::vector<float> both = figures.statistics.Values(kFixed);
    const std::vector<float>& random = figures.statistics.Values(kRandom);
    both.insert(both.end(), random.begin(), random.end());
    return Median(std::move(both));
}

Verdict Judge(const LoopResult& result)
{
    Verdict verdict;
    if (!result.failure.empty()) {
        verdict.text = "inconclusive: " + result.failure;
        return verdict;
    }
    const SubjectFigures& component = result.subjects[kComponent];
    const double componentT = AbsT(component);
    const double leakyT = AbsT(result.subjects[kLeakyControl]);
    const double constantT = AbsT(result.subjects[kConstantTimeControl]);
    const std::string after = " after " + Grouped(Measurements(component)) + " measurements";
    const double median = MedianTicks(component);
    const double shift = component.statistics.SmallestShift(kLeakThreshold);
    verdict.smallestEffectPercent = median > 0 && std::isfinite(shift) ? 100 * shift / median : INFINITY;

    if (constantT > kLeakThreshold) {
        verdict.text = "inconclusive: the constant-time control showed |t| = " + Fixed1(constantT) + after +
                       ": this machine tells the classes apart even where the time cannot depend on them";
        return verdict;
    }
    if (componentT > kLeakThreshold) {
        verdict.kind = VerdictKind::Leak;
        verdict.text = "leak: |t| = " + Fixed1(componentT) + after;
        return verdict;
    }
    if (leakyT <= kLeakThreshold) {
        verdict.text = "inconclusive: the machine is too noisy to see a leak of this size (the leaky control "
                       "showed only |t| = " +
                       Fixed1(leakyT) + after + "; the component |t| = " + Fixed1(componentT) + ")";
        return verdict;
    }
    verdict.kind = VerdictKind::NoLeak;
    char effect[32];
    std::snprintf(effect, sizeof effect, "%.2g", verdict.smallestEffectPercent);
    verdict.text = "no leak seen in " + Grouped(Measurements(component)) +
                   " measurements, |t| = " + Fixed1(componentT) + " (the leaky control showed |t| = " + Fixed1(leakyT) +
                   "; smallest effect this run could see: " + effect + " % of the median)";
    return verdict;
}

bool NeedsAFreshSet(const LoopResult& result)
{
    return result.failure.empty() && (AbsT(result.subjects[kComponent]) > kLeakThreshold ||
                                      AbsT(result.subjects[kConstantTimeControl]) > kLeakThreshold ||
                                      AbsT(result.subjects[kLeakyControl]) <= kLeakThreshold);
}

Verdict Confirmed(const LoopResult& first, const LoopResult& again)
{
    Verdict verdict = Judge(again);
    const double componentT = AbsT(first.subjects[kComponent]);
    const double constantT = AbsT(first.subjects[kConstantTimeControl]);
    std::string crossed;  // what the first set showed
    bool confirmed = false;
    if (componentT > kLeakThreshold) {
        crossed = "crossed the line, the component's |t| = " + Fixed1(componentT);
        confirmed = verdict.kind == VerdictKind::Leak;
    } else if (constantT > kLeakThreshold) {
        crossed = "crossed the line, the constant-time control's |t| = " + Fixed1(constantT);
        confirmed = AbsT(again.subjects[kConstantTimeControl]) > kLeakThreshold;
    } else {
        crossed = "left the leaky control below the line, |t| = " + Fixed1(AbsT(first.subjects[kLeakyControl]));
        confirmed = AbsT(again.subjects[kLeakyControl]) <= kLeakThreshold;
    }
    verdict.text += std::string(confirmed ? "; confirmed on fresh measurements (the first " : "; the first ") +
                    Grouped(Measurements(first.subjects[kComponent])) + " measurements had " + crossed +
                    (confirmed ? ")" : ", and fresh ones did not confirm it");
    return verdict;
}

}  // namespace timing
