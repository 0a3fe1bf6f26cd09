#include "runner/reports.h"

#include "runner/run_settings.h"
#include "runner/utf8_text.h"

#include <algorithm>
#include <cstdio>

namespace checks::runner {
namespace {

std::string Indented(const std::string& text, const std::string& indent)
{
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        out += indent + text.substr(start, end - start) + "\n";
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return out;
}

// SGR sequences; only ever around text this program wrote.
constexpr const char* kRed = "\033[31m";
constexpr const char* kGreen = "\033[32m";
constexpr const char* kYellow = "\033[33m";
constexpr const char* kDim = "\033[2m";
constexpr const char* kReset = "\033[0m";

// Each line painted on its own, so a line feed never carries a colour on.
std::string Painted(const TextStyle& style, const char* colour, const std::string& text)
{
    if (!style.colour)
        return text;
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start)
            out += colour + text.substr(start, end - start) + kReset;
        if (end < text.size())
            out += "\n";
        start = end + 1;
    }
    return out;
}

// The lines of a result: word is what stands first ("PASS", "XFAIL"), after
// is put at the end of the first line.
std::string Lines(const CheckResult& result, const std::string& word, const std::string& after, const TextStyle& style)
{
    std::string out = word + "  " + TerminalText(result.name);
    std::size_t first = 0;
    if (!result.messages.empty()) {
        const std::string head = TerminalText(result.messages.front());
        const std::size_t newline = head.find('\n');
        out += ": " + head.substr(0, newline) + after + "\n";
        if (newline != std::string::npos)
            out += Indented(head.substr(newline + 1), "        ");
        first = 1;
    } else {
        out += after + "\n";
    }
    for (std::size_t i = first; i < result.messages.size(); ++i)
        out += Indented(TerminalText(result.messages[i]), "      ");
    for (const std::string& note : result.notes)
        if (!IsFiguresNote(note))
            out += Painted(style, kYellow, Indented("note: " + TerminalText(note), "      "));
    return out;
}

}  // namespace

const char* VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return "PASS";
    case Verdict::Fail:
        return "FAIL";
    case Verdict::Skip:
        return "SKIP";
    }
    return "FAIL";
}

int RunSummary::Count(Verdict verdict) const
{
    return static_cast<int>(
        std::ranges::count_if(results, [verdict](const CheckResult& result) { return result.verdict == verdict; }));
}

int RunSummary::CountUnexpectedFailures() const
{
    return static_cast<int>(std::ranges::count_if(results, &CheckResult::UnexpectedFailure));
}

int RunSummary::CountExpectedFailures() const
{
    return static_cast<int>(std::ranges::count_if(results, &CheckResult::ExpectedFailure));
}

int RunSummary::CountUnexpectedPasses() const
{
    return static_cast<int>(std::ranges::count_if(results, &CheckResult::UnexpectedPass));
}

int RunSummary::CountWithNotes() const
{
    return static_cast<int>(std::ranges::count_if(
        results, [](const CheckResult& result) { return result.verdict != Verdict::Fail && !result.notes.empty(); }));
}

int RunSummary::VerdictStatus() const
{
    return CountUnexpectedFailures() ? 1 : 0;
}

std::vector<SuiteResults> ResultsBySuite(const RunSummary& summary)
{
    std::vector<SuiteResults> suites;
    for (const CheckResult& result : summary.results) {
        auto suite = std::ranges::find(suites, result.suite, &SuiteResults::suite);
        if (suite == suites.end())
            suite = suites.insert(suites.end(), {result.suite, {}});
        suite->results.push_back(&result);
    }
    return suites;
}

std::string ReplayCommand(const RunSummary& summary, const std::string& checkName)
{
    return "tarvel-check --component " + summary.component + " --level " + LevelName(summary.level) + " --seed " +
           std::to_string(summary.seed) + (summary.memcheck ? " --memcheck" : "") + " --only " + checkName;
}

std::string SecondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, seconds < 10 ? "%.2f s" : "%.1f s", seconds);
    return text;
}

std::string ConsoleLines(const CheckResult& result)
{
    return Lines(result, VerdictName(result.verdict), "", TextStyle{});
}

std::string ResultLines(const CheckResult& result, const TextStyle& style)
{
    const std::string time = Painted(style, kDim, "  (" + SecondsText(result.seconds) + ")");
    std::string word = VerdictName(result.verdict);
    const char* colour = result.verdict == Verdict::Fail ? kRed : result.verdict == Verdict::Pass ? kGreen : kYellow;
    if (result.ExpectedFailure()) {
        word = "XFAIL";
        colour = kYellow;
    }
    std::string out = Lines(result, Painted(style, colour, word), time, style);
    if (result.ExpectedFailure())
        out += Painted(style, kYellow, Indented("expected failure: " + TerminalText(result.expectedFailure), "      "));
    else if (result.UnexpectedPass())
        out += Painted(style, kYellow,
                       Indented("passed although expected to fail: " + TerminalText(result.expectedFailure) +
                                    " (take it off the --expect-fail list)",
                                "      "));
    return out;
}

std::string HeaderLine(const RunSummary& summary, std::size_t checkCount)
{
    std::string out = "tarvel-check: " + TerminalText(summary.component) + " (level " + LevelName(summary.level) +
                      ", seed " + std::to_string(summary.seed) + ", " + std::to_string(checkCount) + " checks";
    if (!summary.shard.empty())
        out += ", shard " + summary.shard;
    return out + ")";
}

std::string SummaryLine(const RunSummary& summary)
{
    std::string out = std::to_string(summary.Count(Verdict::Pass)) + " passed, " +
                      std::to_string(summary.CountUnexpectedFailures()) + " failed, " +
                      std::to_string(summary.Count(Verdict::Skip)) + " skipped, " +
                      std::to_string(summary.CountWithNotes()) + " with notes";
    if (const int expected = summary.CountExpectedFailures())
        out += ", " + std::to_string(expected) + (expected == 1 ? " expected failure" : " expected failures");
    if (const int passes = summary.CountUnexpectedPasses())
        out += ", " + std::to_string(passes) + " passed although expected to fail";
    return out;
}

}  // namespace checks::runner
