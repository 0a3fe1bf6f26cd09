// The run as one self-contained HTML page: the verdict first, then the
// pictures, then every check by suite, suites with failures first and
// failures open.
#include "runner/figures.h"
#include "runner/html_page.h"
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/run_settings.h"

#include <checks/rules.h>

#include <algorithm>
#include <cstdio>

namespace checks::runner {
namespace {

std::string Row(const std::string& name, const std::string& value)
{
    return "<tr><th>" + HtmlText(name) + "</th><td>" + HtmlText(value) + "</td></tr>\n";
}

std::string WordOf(const CheckResult& r)
{
    return r.ExpectedFailure() ? "XFAIL" : VerdictName(r.verdict);
}

// Failures the run counts first, then what needs a look, then the rest.
int Rank(const CheckResult& r)
{
    if (r.UnexpectedFailure())
        return 0;
    if (r.ExpectedFailure() || r.UnexpectedPass())
        return 1;
    if (r.verdict == Verdict::Skip || !r.notes.empty())
        return 2;
    return 3;
}

std::string Paragraphs(const std::vector<std::string>& texts, const char* cssClass)
{
    std::string out;
    for (const std::string& text : texts)
        out += std::string("<pre class=\"") + cssClass + "\">" + HtmlText(text) + "</pre>\n";
    return out;
}

std::string CheckDetails(const RunSummary& run, const CheckResult& r)
{
    const std::string word = WordOf(r);
    std::string out = std::string("<details class=\"") + (r.UnexpectedFailure() ? "fail" : "other") + "\"" +
                      (r.UnexpectedFailure() ? " open" : "") + " id=\"" + HtmlText(r.name) +
                      "\">\n<summary><span class=\"badge " + word + "\">" + word + "</span> <code>" + HtmlText(r.name) +
                      "</code><span class=\"time\">" + HtmlText(SecondsText(r.seconds)) + "</span></summary>\n";
    out += "<p>" + HtmlText(r.description) + "</p>\n<p>Rules: ";
    const auto rules = RulesOfCheck(r.name);
    for (std::size_t i = 0; i < rules.size(); ++i)
        out += std::string(i ? ", " : "") + "<code>" + HtmlText(rules[i]->id) + "</code> (" +
               RuleClassName(rules[i]->ruleClass) + ")";
    out += rules.empty() ? "none named</p>\n" : "</p>\n";
    if (r.ExpectedFailure())
        out += "<p class=\"note\">expected failure: " + HtmlText(r.expectedFailure) + "</p>\n";
    if (r.UnexpectedPass())
        out += "<p class=\"note\">passed although expected to fail: " + HtmlText(r.expectedFailure) + "</p>\n";
    out += Paragraphs(r.messages, r.verdict == Verdict::Fail ? "FAIL" : "SKIP");
    std::vector<std::string> notes;
    for (const std::string& note : r.notes)
        if (note != "replay: " + ReplayCommand(run, r.name) && !IsFiguresNote(note))  // shown below, or drawn
            notes.push_back(note);
    out += Paragraphs(notes, "note");
    out += "<p>Replay: <code>" + HtmlText(ReplayCommand(run, r.name)) + "</code></p>\n</details>\n";
    return out;
}

std::string VerdictBox(const RunSummary& run)
{
    const bool failed = run.exitStatus != 0;
    std::string out = std::string("<div class=\"verdict ") + (failed ? "fail" : "pass") + "\">\n<h1>" +
                      (failed ? "FAILED: " : "PASSED: ") + HtmlText(SummaryLine(run)) +
                      "</h1>\n<table class=\"facts\">\n";
    const RunOrigin& o = run.origin;
    out += Row("component", run.component);
    out += Row("SHA-256", o.component ? o.component->sha256 : "unreadable: " + o.componentError);
    if (o.component)
        out += Row("bytes", std::to_string(o.component->bytes));
    out += Row("level", LevelName(run.level));
    out += Row("seed", std::to_string(run.seed));
    if (!run.shard.empty())
        out += Row("shard", run.shard);
    out += Row("checks", std::to_string(run.results.size()) + " in " + SecondsText(run.seconds) + ", " +
                             std::to_string(run.jobs) + " at a time");
    out += Row("exit status", std::to_string(run.exitStatus));
    out += Row("tool", "tarvel-check " + o.toolVersion + "; " + o.openssl);
    out += Row("vectors", o.vectorsFolder + " (" + o.vectorsVersion + ")");
    return out + "</table>\n</div>\n";
}

class HtmlReporter final : public Reporter<RunSummary> {
public:
    std::string Render(const RunSummary& run) const override
    {
        std::string body = VerdictBox(run);
        body += FiguresHtml(CheckFigureProviders(), run);
        // Suites in the run's order, those with a failure first.
        std::vector<SuiteResults> suites = ResultsBySuite(run);
        const auto worst = [](const SuiteResults& suite) {
            int rank = 3;
            for (const CheckResult* r : suite.results)
                rank = std::min(rank, Rank(*r));
            return rank;
        };
        std::stable_sort(suites.begin(), suites.end(),
                         [&](const SuiteResults& a, const SuiteResults& b) { return worst(a) < worst(b); });
        for (auto& [suite, results] : suites) {
            std::stable_sort(results.begin(), results.end(),
                             [](const CheckResult* a, const CheckResult* b) { return Rank(*a) < Rank(*b); });
            int failed = 0;
            for (const CheckResult* r : results)
                failed += r->UnexpectedFailure();
            body += "<section>\n<h2>" + HtmlText(suite) + " <small>(" + std::to_string(results.size()) + " checks, " +
                    std::to_string(failed) + " failed)</small></h2>\n";
            for (const CheckResult* r : results)
                body += CheckDetails(run, *r);
            body += "</section>\n";
        }
        return HtmlPage("tarvel-check: " + SummaryLine(run), body);
    }
};

}  // namespace

std::unique_ptr<Reporter<RunSummary>> MakeHtmlReporter()
{
    return std::make_unique<HtmlReporter>();
}

}  // namespace checks::runner
