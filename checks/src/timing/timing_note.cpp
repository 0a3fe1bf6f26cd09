#include "timing/timing_note.h"

#include "runner/json_text.h"

#include <cmath>
#include <cstdio>

namespace timing {
namespace {

std::string Number(double value, const char* format = "%.1f")
{
    if (!std::isfinite(value))
        return "null";  // JSON has no infinity
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Quoted(const std::string& text)
{
    return checks::JsonString(text);
}

std::string SubjectObject(const SubjectFigures& figures, const std::string& what, double ticksPerNs)
{
    const LeakStatistics& stats = figures.statistics;
    const LargestT largest = stats.Largest();
    // Each class's distribution as a box plot draws it: 5th, 25th, 50th,
    // 75th and 95th percentiles.
    std::string quantiles;
    for (const Class c : {kFixed, kRandom}) {
        std::string row;
        for (const double ticks : QuantileTicks(figures, c, {0.05, 0.25, 0.5, 0.75, 0.95}))
            row += (row.empty() ? "" : ",") + Number(ticks / ticksPerNs);
        quantiles += std::string(quantiles.empty() ? "" : ",") + "[" + row + "]";
    }
    std::string crops;
    for (const WelchTest& crop : stats.Crops())
        crops += (crops.empty() ? "" : ",") + Number(crop.T());
    return "{\"what\":" + Quoted(what) + ",\"largest_t\":" + Number(largest.t, "%.2f") +
           ",\"largest_test\":" + Quoted(largest.test) + ",\"largest_counts\":[" +
           std::to_string(largest.counts[kFixed]) + "," + std::to_string(largest.counts[kRandom]) +
           "],\"measurements\":[" + std::to_string(stats.Count(kFixed)) + "," + std::to_string(stats.Count(kRandom)) +
           "],\"median_ns\":[" + Number(MedianTicks(figures, kFixed) / ticksPerNs) + "," +
           Number(MedianTicks(figures, kRandom) / ticksPerNs) + "],\"quantiles_ns\":[" + quantiles +
           "],\"uncropped_t\":" + Number(stats.Uncropped().T(), "%.2f") +
           ",\"second_order_t\":" + Number(stats.SecondOrder().T(), "%.2f") + ",\"crop_t\":[" + crops + "]}";
}

// What the set that crossed the line showed: enough to tell the crossing
// from the fresh set's figures.
std::string FirstSetObject(const LoopResult* first)
{
    if (!first)
        return "null";
    const LeakStatistics& component = first->subjects[kComponent].statistics;
    std::string largest;
    for (const SubjectFigures& figures : first->subjects)
        largest += (largest.empty() ? "" : ",") + Number(figures.statistics.Largest().t, "%.2f");
    return "{\"stopped_by\":" + Quoted(first->stoppedBy) + ",\"seconds\":" + Number(first->seconds, "%.2f") +
           ",\"measurements\":" + std::to_string(component.Count(kFixed) + component.Count(kRandom)) +
           ",\"largest_t\":[" + largest + "]}";
}

}  // namespace

std::string TimingNote(const TestDescription& test, const Budget& budget, const LoopResult& result,
                       const Verdict& verdict, const Stopwatch& watch, const std::string& pinned,
                       const LoopResult* first)
{
    const double ticksPerNs = watch.TicksPerNanosecond();
    std::string trace;
    for (const TracePoint& point : result.trace)
        trace += std::string(trace.empty() ? "" : ",") + "[" + std::to_string(point.measurements) + "," +
                 Number(point.t[0]) + "," + Number(point.t[1]) + "," + Number(point.t[2]) + "]";
    const char* kinds[] = {"no leak", "leak", "inconclusive"};
    return "timing: {\"verdict\":" + Quoted(kinds[static_cast<int>(verdict.kind)]) +
           ",\"timed\":" + Quoted(test.timed) + ",\"fixed_class\":" + Quoted(test.fixed) +
           ",\"random_class\":" + Quoted(test.random) + ",\"threshold\":" + Number(kLeakThreshold) +
           ",\"budget\":{\"per_class\":" + std::to_string(budget.perClass) + ",\"seconds\":" + Number(budget.seconds) +
           "},\"stopped_by\":" + Quoted(result.stoppedBy) + ",\"seconds\":" + Number(result.seconds, "%.2f") +
           ",\"clock\":" + Quoted(watch.Description()) + ",\"cpu\":" + Quoted(pinned) +
           ",\"smallest_effect_percent\":" + Number(verdict.smallestEffectPercent, "%.3g") +
           ",\"component\":" + SubjectObject(result.subjects[kComponent], test.timed, ticksPerNs) +
           ",\"leaky_control\":" + SubjectObject(result.subjects[kLeakyControl], test.leaky, ticksPerNs) +
           ",\"constant_time_control\":" +
           SubjectObject(result.subjects[kConstantTimeControl], test.constant, ticksPerNs) +
           ",\"first_set\":" + FirstSetObject(first) + ",\"trace\":[" + trace + "]}";
}

}  // namespace timing
