// The timing suite's pictures, drawn from the "timing: {…}" note each timing
// check leaves (its layout is in timing/timing_note.cpp): how far apart the
// two classes' times were for the component and both controls, the
// component's times in each class, and per test how |t| grew as measurements
// accumulated.
#include "runner/figures.h"
#include "runner/svg_chart.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace checks::runner {
namespace {

using nlohmann::json;

struct TimingTest {
    std::string name;
    json note;
};

std::vector<TimingTest> TimingTests(const RunSummary& run)
{
    constexpr std::string_view kPrefix = "timing: ";
    std::vector<TimingTest> tests;
    for (const CheckResult& result : run.results)
        for (const std::string& note : result.notes)
            if (note.rfind(kPrefix, 0) == 0) {
                json parsed = json::parse(note.substr(kPrefix.size()), nullptr, false);
                if (parsed.is_object())
                    tests.push_back({result.name, std::move(parsed)});
            }
    return tests;
}

// The field, or null when value is no object or lacks it: a note that is not
// what this expects draws less, never throws.
const json& Field(const json& value, const char* name)
{
    static const json kNull;
    if (!value.is_object())
        return kNull;
    const auto found = value.find(name);
    return found == value.end() ? kNull : *found;
}

double NumberAt(const json& value)
{
    return value.is_number() ? value.get<double>() : NAN;
}

const char* const kSubjects[] = {"component", "leaky_control", "constant_time_control"};
const std::vector<std::string> kSubjectNames = {"the component", "leaky control", "constant-time control"};

double Threshold(const std::vector<TimingTest>& tests)
{
    return NumberAt(Field(tests.front().note, "threshold"));
}

// The largest |t| as the mark, the spread over the crops as the whisker.
Figure SeparationFigure(const std::vector<TimingTest>& tests)
{
    RangeChart chart;
    chart.series = kSubjectNames;
    chart.logScale = true;
    chart.marker = Threshold(tests);
    chart.lowSide = "alike";
    chart.highSide = "apart";
    chart.axisTitle = "Welch's |t| between the fixed and the random class";
    for (const TimingTest& test : tests) {
        ChartRow row{test.name, {}};
        for (int s = 0; s < 3; ++s) {
            const json& subject = Field(test.note, kSubjects[s]);
            double low = INFINITY, high = -INFINITY;
            const json& crops = Field(subject, "crop_t");
            for (const json& crop : crops.is_array() ? crops : json::array())
                if (const double t = std::fabs(NumberAt(crop)); std::isfinite(t) && t > 0) {
                    low = std::min(low, t);
                    high = std::max(high, t);
                }
            const double largest = std::fabs(NumberAt(Field(subject, "largest_t")));
            row.spans.push_back({s, low, NAN, largest, NAN, high});
        }
        chart.rows.push_back(std::move(row));
    }
    return {"Timing: how far apart the two classes' times were", DrawRangeChart(chart),
            "Per test, the dot is the largest |t| over the crops of the timings and the line spans the crops. A test "
            "says \"leak\" when the component's dot passes the dashed line, and judges at all only when the leaky "
            "control's dot passes it and the constant-time control's stays below it."};
}

// Each class's times as a box plot: the box from the 25th to the 75th
// percentile, the whisker from the 5th to the 95th, the mark the median.
Figure DistributionFigure(const std::vector<TimingTest>& tests)
{
    RangeChart chart;
    chart.series = {"fixed class", "random class"};
    chart.logScale = true;
    chart.axisTitle = "the component's time per call, ns";
    for (const TimingTest& test : tests) {
        const json& quantiles = Field(Field(test.note, "component"), "quantiles_ns");
        ChartRow row{test.name, {}};
        for (std::size_t c = 0; quantiles.is_array() && c < 2 && c < quantiles.size(); ++c) {
            const json& q = quantiles[c];
            if (q.is_array() && q.size() == 5)
                row.spans.push_back({static_cast<int>(c), NumberAt(q[0]), NumberAt(q[1]), NumberAt(q[2]),
                                     NumberAt(q[3]), NumberAt(q[4])});
        }
        chart.rows.push_back(std::move(row));
    }
    return {"Timing: the component's times in each class", DrawRangeChart(chart),
            "Per test and class, the box spans the middle half of the component's times, the whisker the 5th to the "
            "95th percentile, the bar the median. A large leak shows as boxes apart; |t| sees differences far "
            "smaller than a picture can."};
}

// At most this many rows a trace: enough to see |t| settle or grow.
constexpr std::size_t kTraceRows = 10;

Figure TraceFigure(const TimingTest& test, double threshold)
{
    const json& trace = Field(test.note, "trace");
    RangeChart chart;
    chart.series = kSubjectNames;
    chart.logScale = true;
    chart.marker = threshold;
    chart.axisTitle = "|t| after the measurements of each row";
    const std::size_t points = trace.is_array() ? trace.size() : 0;
    const std::size_t step = std::max<std::size_t>(1, (points + kTraceRows - 1) / kTraceRows);
    for (std::size_t i = 0; i < points; i += step) {
        // The last point is always shown: it is the one judged.
        const json& point = trace[i + step >= points ? points - 1 : i];
        if (!point.is_array() || point.size() < 4)
            continue;
        ChartRow row{std::to_string(static_cast<long long>(NumberAt(point[0]))) + " measurements", {}};
        for (int s = 0; s < 3; ++s)
            row.spans.push_back({s, NAN, NAN, std::fabs(NumberAt(point[static_cast<std::size_t>(s) + 1])), NAN, NAN});
        chart.rows.push_back(std::move(row));
    }
    return {test.name + ": |t| as measurements accumulated", DrawRangeChart(chart),
            "A leak grows with the square root of the measurements; noise does not. The test stops early once the "
            "component passes the line with both controls settled."};
}

}  // namespace

std::vector<Figure> TimingFigures(const RunSummary& run)
{
    const std::vector<TimingTest> tests = TimingTests(run);
    if (tests.empty())
        return {};
    std::vector<Figure> figures = {SeparationFigure(tests), DistributionFigure(tests)};
    const double threshold = Threshold(tests);
    for (const TimingTest& test : tests)
        figures.push_back(TraceFigure(test, threshold));
    return figures;
}

}  // namespace checks::runner
