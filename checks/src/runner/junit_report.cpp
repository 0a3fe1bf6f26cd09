// The run as JUnit XML: one <testsuite> per suite, as CI systems read it.
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/run_settings.h"
#include "runner/xml_text.h"

#include <cstdio>
#include <utility>

namespace checks::runner {
namespace {

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

// The run's properties, repeated in each <testsuite> as JUnit readers expect.
std::string JunitProperties(const RunSummary& summary)
{
    const RunOrigin& origin = summary.origin;
    std::vector<std::pair<const char*, std::string>> properties = {
        {"component", summary.component},
        {"component_bytes", origin.component ? std::to_string(origin.component->bytes) : ""},
        {"component_sha256", origin.component ? origin.component->sha256 : "unreadable: " + origin.componentError},
        {"level", LevelName(summary.level)},
        {"seed", std::to_string(summary.seed)},
        {"tool_version", origin.toolVersion},
        {"openssl", origin.openssl},
        {"vectors_folder", origin.vectorsFolder},
        {"vectors_version", origin.vectorsVersion},
        {"checks_with_notes", std::to_string(summary.CountWithNotes())}};
    if (!summary.shard.empty())
        properties.emplace_back("shard", summary.shard);
    std::string out = "    <properties>\n";
    for (const auto& [name, value] : properties)
        out += std::string("      <property name=\"") + name + "\" value=\"" + XmlAttribute(value) + "\"/>\n";
    return out + "    </properties>\n";
}

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

class JunitReporter final : public Reporter<RunSummary> {
public:
    std::string Render(const RunSummary& summary) const override
    {
        // One <testsuite> per suite, in the order the run met them.
        // A shard's suites say so, so the reports of a CI matrix stay apart.
        const std::string shard = summary.shard.empty() ? "" : " [shard " + summary.shard + "]";
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out += "<testsuites name=\"tarvel-check" + XmlAttribute(shard) + "\" tests=\"" +
               std::to_string(summary.results.size()) + "\" failures=\"" +
               std::to_string(summary.CountUnexpectedFailures()) + "\" skipped=\"" +
               std::to_string(summary.Count(Verdict::Skip) + summary.CountExpectedFailures()) + "\" time=\"" +
               Seconds(summary.seconds) + "\">\n";
        for (const auto& [suite, results] : ResultsBySuite(summary)) {
            int failures = 0, skipped = 0;
            double seconds = 0;
            for (const CheckResult* r : results) {
                failures += r->UnexpectedFailure();
                skipped += r->verdict == Verdict::Skip || r->ExpectedFailure();
                seconds += r->seconds;
            }
            out += "  <testsuite name=\"" + XmlAttribute(suite + shard) + "\" tests=\"" +
                   std::to_string(results.size()) + "\" failures=\"" + std::to_string(failures) +
                   "\" errors=\"0\" skipped=\"" + std::to_string(skipped) + "\" time=\"" + Seconds(seconds) + "\">\n";
            out += JunitProperties(summary);
            for (const CheckResult* r : results)
                out += TestCase(suite, *r);
            out += "  </testsuite>\n";
        }
        out += "</testsuites>\n";
        return out;
    }

private:
    static std::string TestCase(const std::string& suite, const CheckResult& r)
    {
        std::string out = "    <testcase classname=\"tarvel-check." + XmlAttribute(suite) + "\" name=\"" +
                          XmlAttribute(r.name) + "\" time=\"" + Seconds(r.seconds) + "\"";
        std::vector<std::string> noteLines = r.notes;
        if (r.UnexpectedPass())
            noteLines.push_back("passed although expected to fail: " + r.expectedFailure);
        const std::string notes = Joined(noteLines);
        if (r.verdict == Verdict::Pass && notes.empty())
            return out + "/>\n";
        out += ">\n";
        const std::string messages = Joined(r.messages);
        const std::string head = r.messages.empty() ? std::string() : r.messages.front();
        // An expected failure is told as a skip, as test runners tell theirs.
        if (r.ExpectedFailure())
            out += "      <skipped message=\"" + XmlAttribute("expected failure: " + r.expectedFailure) + "\">" +
                   XmlText(messages) + "</skipped>\n";
        else if (r.verdict == Verdict::Fail)
            out += "      <failure message=\"" + XmlAttribute(FirstLine(head)) + "\">" + XmlText(messages) +
                   "</failure>\n";
        else if (r.verdict == Verdict::Skip)
            out += "      <skipped message=\"" + XmlAttribute(FirstLine(head)) + "\"/>\n";
        if (!notes.empty())
            out += "      <system-out>" + XmlText(notes) + "</system-out>\n";
        return out + "    </testcase>\n";
    }
};

}  // namespace

std::unique_ptr<Reporter<RunSummary>> MakeJunitReporter()
{
    return std::make_unique<JunitReporter>();
}

std::string JunitDocument(const RunSummary& summary)
{
    return JunitReporter().Render(summary);
}

}  // namespace checks::runner
