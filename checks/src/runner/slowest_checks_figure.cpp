// Where a run's time went: the slowest checks as bars, so a CI run that got
// slow shows which check grew.
#include "runner/figures.h"
#include "runner/svg_chart.h"

#include <algorithm>
#include <cmath>

namespace checks::runner {

std::vector<Figure> SlowestChecksFigure(const RunSummary& run)
{
    constexpr std::size_t kShown = 12;
    std::vector<const CheckResult*> order;
    for (const CheckResult& result : run.results)
        order.push_back(&result);
    std::stable_sort(order.begin(), order.end(),
                     [](const CheckResult* a, const CheckResult* b) { return a->seconds > b->seconds; });
    if (order.size() > kShown)
        order.resize(kShown);
    RangeChart chart;
    chart.series = {"seconds"};
    chart.axisTitle = "seconds the check took (its own child process, start to end)";
    for (const CheckResult* result : order)
        chart.rows.push_back({result->name, {{0, NAN, 0, result->seconds, result->seconds, NAN}}});
    return {{"The slowest checks", DrawRangeChart(chart),
             "Each bar is one check's wall time; with --jobs, checks overlap and the run is shorter than their sum."}};
}

}  // namespace checks::runner
