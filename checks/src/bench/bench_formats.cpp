#include "bench/bench_formats.h"

namespace bench {

using checks::runner::FigureProvider;
using checks::runner::Reporter;
using checks::runner::ReportFormat;

// Each format's reporter, and each figure provider, lives in a file of its own.
std::unique_ptr<Reporter<BenchRun>> MakeBenchJsonReporter();
std::unique_ptr<Reporter<BenchRun>> MakeBenchHtmlReporter();
std::vector<checks::runner::Figure> RatioFigure(const BenchRun& run);
std::vector<checks::runner::Figure> DistributionFigure(const BenchRun& run);
std::vector<checks::runner::Figure> BaselineFigure(const BenchRun& run);

const std::vector<ReportFormat<BenchRun>>& BenchReportFormats()
{
    static const std::vector<ReportFormat<BenchRun>> formats = {
        {"json", "the results as JSON (schema tarvel-bench/1)", &MakeBenchJsonReporter},
        {"html", "one self-contained HTML page with the figures drawn", &MakeBenchHtmlReporter},
    };
    return formats;
}

const std::vector<FigureProvider<BenchRun>>& BenchFigureProviders()
{
    static const std::vector<FigureProvider<BenchRun>> providers = {
        &RatioFigure,
        &DistributionFigure,
        &BaselineFigure,
    };
    return providers;
}

}  // namespace bench
