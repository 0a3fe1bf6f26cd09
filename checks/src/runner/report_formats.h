// The formats a run of checks can be written in, each by --NAME FILE.
#pragma once

#include "runner/reporter.h"
#include "runner/run_model.h"

#include <vector>

namespace checks::runner {

const std::vector<ReportFormat<RunSummary>>& CheckReportFormats();

}  // namespace checks::runner
