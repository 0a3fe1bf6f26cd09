// The formats a bench run can be written in, each by --NAME FILE.
#pragma once

#include "bench/bench_report.h"
#include "runner/figures.h"
#include "runner/reporter.h"

#include <vector>

namespace bench {

const std::vector<checks::runner::ReportFormat<BenchRun>>& BenchReportFormats();

// The pictures of a bench report; see runner/figures.h.
const std::vector<checks::runner::FigureProvider<BenchRun>>& BenchFigureProviders();

}  // namespace bench
