// The bench's pictures: the ratios against OpenSSL on one axis, each
// operation's distribution beside OpenSSL's, and the change since the
// baseline. Every value drawn is one of the JSON report's.
#include "bench/bench_formats.h"
#include "runner/svg_chart.h"

#include <cmath>
#include <cstdio>

namespace bench {
namespace {

using checks::runner::ChartRow;
using checks::runner::ChartSpan;
using checks::runner::Figure;
using checks::runner::RangeChart;

std::string DurationTick(double ns)
{
    return Duration(ns);
}

ChartSpan IntervalSpan(int series, const Summary& s)
{
    return {series, NAN, s.low, s.median, s.high, NAN};
}

ChartSpan DistributionSpan(int series, const Summary& s)
{
    return {series, s.min, s.low, s.median, s.high, s.p99};
}

}  // namespace

std::vector<Figure> RatioFigure(const BenchRun& run)
{
    RangeChart chart;
    chart.series = {"ours / OpenSSL: median of the paired ratios, 95% interval"};
    chart.logScale = true;
    chart.marker = 1.0;
    chart.lowSide = "ours faster";
    chart.highSide = "ours slower";
    chart.axisTitle = "ratio of wall time per call (log scale; the dashed line is 1, equal)";
    for (const Measurement& m : run.measurements)
        if (m.failure.empty() && m.ratio)
            chart.rows.push_back({m.name, {IntervalSpan(0, *m.ratio)}});
    std::string caption = "Each box is the 95% interval of the ratio, the bar its median; key generation is "
                          "the ratio of the medians with a bootstrap interval.";
    if (const auto mean = GeometricMeanRatio(run)) {
        char text[64];
        std::snprintf(text, sizeof text, " Geometric mean over the operations: %.3f.", *mean);
        caption += text;
    }
    return {{"Ours against OpenSSL", DrawRangeChart(chart), caption}};
}

std::vector<Figure> DistributionFigure(const BenchRun& run)
{
    RangeChart chart;
    chart.series = {"ours", "OpenSSL"};
    chart.logScale = true;
    chart.tickText = &DurationTick;
    chart.axisTitle = "wall time per call (log scale)";
    for (const Measurement& m : run.measurements) {
        if (!m.failure.empty())
            continue;
        ChartRow row{m.name, {DistributionSpan(0, m.ours.wall)}};
        if (m.reference)
            row.spans.push_back(DistributionSpan(1, m.reference->wall));
        chart.rows.push_back(row);
    }
    return {{"Time per call", DrawRangeChart(chart),
             "Line: min to p99 of the samples; box: the 95% interval of the median; bar: the median."}};
}

std::vector<Figure> BaselineFigure(const BenchRun& run)
{
    if (run.comparisons.empty())
        return {};
    RangeChart chart;
    chart.series = {"now", "before (the baseline)"};
    chart.logScale = true;
    chart.marker = 1.0;
    chart.lowSide = "faster than before";
    chart.highSide = "slower than before";
    chart.axisTitle = "wall time per call over the baseline's median (log scale)";
    for (const Comparison& c : run.comparisons) {
        const double base = c.before.median;
        if (!(base > 0))
            continue;
        const char* change = c.change == Comparison::Change::Slower   ? "slower"
                             : c.change == Comparison::Change::Faster ? "faster"
                                                                      : "same";
        chart.rows.push_back({c.name + " (" + change + ")",
                              {{0, NAN, c.now.low / base, c.now.median / base, c.now.high / base, NAN},
                               {1, NAN, c.before.low / base, 1.0, c.before.high / base, NAN}}});
    }
    return {{"Before and now", DrawRangeChart(chart),
             "Each operation's median and its 95% interval, now and in the baseline, over the baseline's median. "
             "An operation is slower only when the two intervals do not overlap."}};
}

}  // namespace bench
