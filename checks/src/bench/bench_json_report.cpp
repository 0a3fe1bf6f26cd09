// A bench run as a tarvel-bench/1 JSON document (checks/README.md); read
// back by --baseline (baseline.cpp).
#include "bench/bench_formats.h"
#include "runner/json_text.h"
#include "runner/tool_version.h"

namespace bench {

using checks::JsonFigure;
using checks::OrderedJson;

namespace {

OrderedJson Figure(double value)
{
    return JsonFigure(value, "%.6g");
}

OrderedJson Figures(const Summary& s)
{
    return {{"count", s.count},          {"median", Figure(s.median)},
            {"min", Figure(s.min)},      {"p90", Figure(s.p90)},
            {"p99", Figure(s.p99)},      {"ci_low", Figure(s.low)},
            {"ci_high", Figure(s.high)}, {"ci_coverage", JsonFigure(s.coverage, "%.4f")}};
}

OrderedJson OperationFigures(const Measurement& m)
{
    OrderedJson op = {{"name", m.name}, {"description", m.description}, {"bytes_per_call", m.bytes}};
    if (!m.failure.empty()) {
        op["verdict"] = "fail";
        op["message"] = m.failure;
        return op;
    }
    op["verdict"] = "timed";
    op["batch"] = m.ours.batch;
    op["wall_ns"] = Figures(m.ours.wall);
    op["cpu_ns"] = Figures(m.ours.cpu);
    if (m.ours.cycles)
        op["cycles"] = Figures(*m.ours.cycles);
    const double perSecond = 1e9 / m.ours.wall.median;
    op["ops_per_second"] = Figure(perSecond);
    if (m.bytes) {
        op["mb_per_second"] = Figure(perSecond * static_cast<double>(m.bytes) / 1e6);
        if (m.ours.cycles)
            op["cycles_per_byte"] = Figure(m.ours.cycles->median / static_cast<double>(m.bytes));
    }
    if (m.reference && m.ratio) {
        op["reference"] = {{"name", m.referenceName},
                           {"batch", m.reference->batch},
                           {"wall_ns", Figures(m.reference->wall)},
                           {"cpu_ns", Figures(m.reference->cpu)}};
        op["ratio"] = Figures(*m.ratio);
        op["ratio_method"] = m.onePerSample ? "bootstrap" : "paired";
    }
    return op;
}

OrderedJson Baseline(const BenchRun& run)
{
    if (run.baselinePath.empty())
        return nullptr;
    OrderedJson comparisons = OrderedJson::array();
    for (const Comparison& c : run.comparisons)
        comparisons.push_back({{"name", c.name},
                               {"before_median", Figure(c.before.median)},
                               {"now_median", Figure(c.now.median)},
                               {"change", c.change == Comparison::Change::Slower   ? "slower"
                                          : c.change == Comparison::Change::Faster ? "faster"
                                                                                   : "same"}});
    return {{"path", run.baselinePath}, {"comparisons", comparisons}};
}

class BenchJsonReporter final : public checks::runner::Reporter<BenchRun> {
public:
    std::string Render(const BenchRun& run) const override { return BenchJson(run); }
};

}  // namespace

std::string BenchJson(const BenchRun& run)
{
    const Environment& e = run.environment;
    const auto mean = GeometricMeanRatio(run);
    OrderedJson document = {
        {"schema", kBenchSchema},
        {"tool", "tarvel-check bench"},
        {"tool_version", checks::ToolVersion()},
        {"component", run.component},
        {"component_file", run.componentFile
                               ? OrderedJson{{"bytes", run.componentFile->bytes}, {"sha256", run.componentFile->sha256}}
                               : OrderedJson()},
        {"settings",
         {{"samples", run.settings.samples},
          {"seconds", Figure(run.settings.seconds)},
          {"vs_openssl", run.settings.vsOpenSsl},
          {"pinned_cpu", e.pinnedCpu}}},
        {"environment",
         {{"cpu_model", e.cpuModel},
          {"cpu_flags", e.cpuFlags},
          {"cpus", e.cpus},
          {"governor", e.governor.empty() ? OrderedJson() : OrderedJson(e.governor)},
          {"kernel", e.kernel},
          {"openssl", e.openssl},
          {"load_average", {Figure(e.load1), Figure(e.load5), Figure(e.load15)}},
          {"clock_resolution_ns", Figure(e.clockResolutionNs)},
          {"cycle_counter", e.cycleCounter}}},
        {"seconds", JsonFigure(run.seconds, "%.3f")},
        {"geometric_mean_ratio", mean ? Figure(*mean) : OrderedJson()},
        {"exit_status", run.exitStatus},
        {"operations", OrderedJson::array()},
        {"baseline", Baseline(run)},
    };
    for (const Measurement& m : run.measurements)
        document["operations"].push_back(OperationFigures(m));
    return checks::JsonLayout(document);
}

std::unique_ptr<checks::runner::Reporter<BenchRun>> MakeBenchJsonReporter()
{
    return std::make_unique<BenchJsonReporter>();
}

}  // namespace bench
