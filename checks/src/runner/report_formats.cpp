#include "runner/report_formats.h"

namespace checks::runner {

// Each format's reporter lives in a file of its own.
std::unique_ptr<Reporter<RunSummary>> MakeJsonReporter();
std::unique_ptr<Reporter<RunSummary>> MakeJunitReporter();
std::unique_ptr<Reporter<RunSummary>> MakeHtmlReporter();
std::unique_ptr<Reporter<RunSummary>> MakeTextReporter();

const std::vector<ReportFormat<RunSummary>>& CheckReportFormats()
{
    static const std::vector<ReportFormat<RunSummary>> formats = {
        {"json", "the results as JSON (schema tarvel-check/1)", &MakeJsonReporter},
        {"junit", "the results as JUnit XML, one testsuite a suite", &MakeJunitReporter},
        {"html", "one self-contained HTML page to read", &MakeHtmlReporter},
        {"text", "the console's lines, without colour", &MakeTextReporter},
    };
    return formats;
}

}  // namespace checks::runner
