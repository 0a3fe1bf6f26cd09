// A bench run as one self-contained HTML page: the verdict and the machine,
// the pictures, then every figure of the JSON report in tables.
#include "bench/bench_formats.h"
#include "runner/html_page.h"
#include "runner/tool_version.h"

#include <cstdio>

namespace bench {
namespace {

using checks::runner::HtmlText;

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Cell(const std::string& text)
{
    return "<td>" + HtmlText(text) + "</td>";
}

std::string FactRow(const std::string& name, const std::string& value)
{
    return "<tr><th>" + HtmlText(name) + "</th><td>" + HtmlText(value) + "</td></tr>\n";
}

std::string Interval(const Summary& s)
{
    return Duration(s.low) + " \u2013 " + Duration(s.high) + (s.coverage < 0.95 ? " *" : "");
}

std::string VerdictBox(const BenchRun& run)
{
    int failed = 0;
    for (const Measurement& m : run.measurements)
        failed += !m.failure.empty();
    const Environment& e = run.environment;
    std::string out = std::string("<div class=\"verdict ") + (run.exitStatus ? "fail" : "pass") + "\">\n<h1>" +
                      (failed ? "FAILED: " + std::to_string(failed) + " of " : std::string("Timed: ")) +
                      std::to_string(run.measurements.size()) + " operations</h1>\n<table class=\"facts\">\n";
    out += FactRow("component", run.component);
    out += FactRow("SHA-256", run.componentFile ? run.componentFile->sha256 : "unreadable");
    out += FactRow("exit status", std::to_string(run.exitStatus));
    if (const auto mean = GeometricMeanRatio(run))
        out += FactRow("geometric mean of ours / OpenSSL",
                       Format("%.3f", *mean) + (*mean < 1 ? " (ours faster)" : " (ours slower or equal)"));
    out += FactRow("samples", "up to " + std::to_string(run.settings.samples) + " per operation within " +
                                  Format("%.1f", run.settings.seconds) + " s" +
                                  (run.settings.vsOpenSsl ? ", alternated with OpenSSL" : ""));
    out += FactRow("cpu", e.cpuModel + " (" + std::to_string(e.cpus) + " online)");
    out += FactRow("load", Format("%.2f", e.load1) + " " + Format("%.2f", e.load5) + " " + Format("%.2f", e.load15));
    out += FactRow("kernel, OpenSSL", e.kernel + "; " + e.openssl);
    out += FactRow("cycles", e.cycleCounter);
    out += FactRow("tool", std::string("tarvel-check ") + checks::ToolVersion() + ", " + Format("%.1f s", run.seconds));
    return out + "</table>\n</div>\n";
}

std::string OperationsTable(const BenchRun& run)
{
    std::string out = "<h2>Operations</h2>\n";
    for (const Measurement& m : run.measurements)
        if (!m.failure.empty())
            out += "<details class=\"fail\" open><summary><span class=\"badge FAIL\">FAIL</span> <code>" +
                   HtmlText(m.name) + "</code></summary><pre class=\"FAIL\">" + HtmlText(m.failure) +
                   "</pre></details>\n";
    out += "<table class=\"grid\">\n<tr><th>operation</th><th>n</th><th>median</th><th>95% CI</th><th>min</th>"
           "<th>p90</th><th>p99</th><th>rate</th><th>cycles/B</th><th>cpu/wall</th><th>OpenSSL median</th>"
           "<th>ours / OpenSSL [95% CI]</th></tr>\n";
    for (const Measurement& m : run.measurements) {
        if (!m.failure.empty())
            continue;
        const Summary& w = m.ours.wall;
        out +=
            "<tr>" + Cell(m.name) + Cell(std::to_string(w.count)) + Cell(Duration(w.median)) + Cell(Interval(w)) +
            Cell(Duration(w.min)) + Cell(Duration(w.p90)) + Cell(Duration(w.p99)) + Cell(Rate(m)) +
            Cell(m.ours.cycles && m.bytes ? Format("%.2f", m.ours.cycles->median / static_cast<double>(m.bytes)) : "") +
            Cell(Format("%.2f", m.ours.cpu.median / w.median)) +
            Cell(m.reference ? Duration(m.reference->wall.median) : "") +
            Cell(m.ratio ? Format("%.3f", m.ratio->median) + " [" + Format("%.3f", m.ratio->low) + ", " +
                               Format("%.3f", m.ratio->high) + "]"
                         : "") +
            "</tr>\n";
    }
    return out + "</table>\n<p>* fewer than 6 samples: the interval is min \u2013 max.</p>\n";
}

std::string BaselineTable(const BenchRun& run)
{
    if (run.baselinePath.empty())
        return {};
    std::string out = "<h2>Against " + HtmlText(run.baselinePath) +
                      "</h2>\n<table class=\"grid\">\n"
                      "<tr><th>operation</th><th>before</th><th>now</th><th>now / before</th><th>change</th></tr>\n";
    for (const Comparison& c : run.comparisons) {
        const char* change = c.change == Comparison::Change::Slower   ? "slower"
                             : c.change == Comparison::Change::Faster ? "faster"
                                                                      : "same";
        out += "<tr>" + Cell(c.name) +
               Cell(Duration(c.before.median) + " [" + Duration(c.before.low) + " \u2013 " + Duration(c.before.high) +
                    "]") +
               Cell(Duration(c.now.median) + " [" + Interval(c.now) + "]") +
               Cell(Format("%.3f", c.now.median / c.before.median)) + Cell(change) + "</tr>\n";
    }
    return out + "</table>\n";
}

class BenchHtmlReporter final : public checks::runner::Reporter<BenchRun> {
public:
    std::string Render(const BenchRun& run) const override
    {
        const std::string body = VerdictBox(run) + checks::runner::FiguresHtml(BenchFigureProviders(), run) +
                                 OperationsTable(run) + BaselineTable(run);
        return checks::runner::HtmlPage("tarvel-check bench: " + run.component, body);
    }
};

}  // namespace

std::unique_ptr<checks::runner::Reporter<BenchRun>> MakeBenchHtmlReporter()
{
    return std::make_unique<BenchHtmlReporter>();
}

}  // namespace bench
