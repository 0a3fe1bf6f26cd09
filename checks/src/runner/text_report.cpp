// The run as plain text: what the console showed, without colour or
// progress, in the order of the checks.
#include "runner/report_formats.h"
#include "runner/reports.h"

#include <cstdio>

namespace checks::runner {
namespace {

class TextReporter final : public Reporter<RunSummary> {
public:
    std::string Render(const RunSummary& summary) const override
    {
        std::string out = HeaderLine(summary, summary.results.size()) + "\n";
        for (const CheckResult& result : summary.results)
            out += ResultLines(result, TextStyle{});
        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, " in %.1f s", summary.seconds);
        return out + SummaryLine(summary) + elapsed + "\n";
    }
};

}  // namespace

std::unique_ptr<Reporter<RunSummary>> MakeTextReporter()
{
    return std::make_unique<TextReporter>();
}

}  // namespace checks::runner
