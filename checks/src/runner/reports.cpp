#include "runner/reports.h"

#include "runner/json_text.h"
#include "runner/run_settings.h"
#include "runner/utf8_text.h"
#include "runner/xml_text.h"

#include <cstdio>
#include <map>
#include <utility>

namespace checks::runner {
namespace {

std::string JsonStrings(const std::vector<std::string>& texts)
{
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + JsonString(texts[i]);
    return out + "]";
}

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

std::string JsonOrigin(const RunOrigin& origin)
{
    std::string out = "  \"tool_version\": " + JsonString(origin.toolVersion) + ",\n";
    out += "  \"component_file\": ";
    if (origin.component)
        out += "{\"bytes\": " + std::to_string(origin.component->bytes) +
               ", \"sha256\": " + JsonString(origin.component->sha256) + "},\n";
    else
        out += "{\"error\": " + JsonString(origin.componentError) + "},\n";
    out += "  \"openssl\": " + JsonString(origin.openssl) + ",\n";
    out += "  \"vectors\": {\"folder\": " + JsonString(origin.vectorsFolder) +
           ", \"version\": " + JsonString(origin.vectorsVersion) + "},\n";
    return out;
}

// The run's properties, repeated in each <testsuite> as JUnit readers expect.
std::string JunitProperties(const RunSummary& summary)
{
    const RunOrigin& origin = summary.origin;
    const std::pair<const char*, std::string> properties[] = {
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
    std::string out = "    <properties>\n";
    for (const auto& [name, value] : properties)
        out += std::string("      <property name=\"") + name + "\" value=\"" + XmlAttribute(value) + "\"/>\n";
    return out + "    </properties>\n";
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
    int count = 0;
    for (const CheckResult& result : results)
        count += result.verdict == verdict;
    return count;
}

int RunSummary::CountWithNotes() const
{
    int count = 0;
    for (const CheckResult& result : results)
        count += result.verdict != Verdict::Fail && !result.notes.empty();
    return count;
}

std::string ConsoleLines(const CheckResult& result)
{
    std::string out = std::string(VerdictName(result.verdict)) + "  " + TerminalText(result.name);
    std::size_t first = 0;
    if (!result.messages.empty()) {
        const std::string head = TerminalText(result.messages.front());
        const std::size_t newline = head.find('\n');
        out += ": " + head.substr(0, newline);
        out += "\n";
        if (newline != std::string::npos)
            out += Indented(head.substr(newline + 1), "        ");
        first = 1;
    } else {
        out += "\n";
    }
    for (std::size_t i = first; i < result.messages.size(); ++i)
        out += Indented(TerminalText(result.messages[i]), "      ");
    for (const std::string& note : result.notes)
        out += Indented("note: " + TerminalText(note), "      ");
    return out;
}

std::string SummaryLine(const RunSummary& summary)
{
    return std::to_string(summary.Count(Verdict::Pass)) + " passed, " + std::to_string(summary.Count(Verdict::Fail)) +
           " failed, " + std::to_string(summary.Count(Verdict::Skip)) + " skipped, " +
           std::to_string(summary.CountWithNotes()) + " with notes";
}

std::string JsonDocument(const RunSummary& summary)
{
    std::string out = "{\n";
    out += "  \"schema\": " + JsonString(kJsonSchema) + ",\n";
    out += "  \"tool\": \"tarvel-check\",\n";
    out += "  \"component\": " + JsonString(summary.component) + ",\n";
    out += JsonOrigin(summary.origin);
    out += "  \"level\": " + JsonString(LevelName(summary.level)) + ",\n";
    out += "  \"seed\": " + std::to_string(summary.seed) + ",\n";
    out += "  \"seconds\": " + Seconds(summary.seconds) + ",\n";
    out += "  \"summary\": {\"passed\": " + std::to_string(summary.Count(Verdict::Pass)) +
           ", \"failed\": " + std::to_string(summary.Count(Verdict::Fail)) +
           ", \"skipped\": " + std::to_string(summary.Count(Verdict::Skip)) +
           ", \"with_notes\": " + std::to_string(summary.CountWithNotes()) + "},\n";
    out += "  \"exit_status\": " + std::to_string(summary.exitStatus) + ",\n";
    out += "  \"checks\": [";
    for (std::size_t i = 0; i < summary.results.size(); ++i) {
        const CheckResult& r = summary.results[i];
        out += i ? ",\n" : "\n";
        std::string verdict = VerdictName(r.verdict);
        for (char& c : verdict)
            c = static_cast<char>(c - 'A' + 'a');
        out += "    {\"name\": " + JsonString(r.name) + ", \"suite\": " + JsonString(r.suite) +
               ", \"verdict\": " + JsonString(verdict) + ", \"seconds\": " + Seconds(r.seconds) +
               ",\n     \"description\": " + JsonString(r.description) +
               ",\n     \"messages\": " + JsonStrings(r.messages) + ", \"notes\": " + JsonStrings(r.notes) + "}";
    }
    out += summary.results.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string JunitDocument(const RunSummary& summary)
{
    // One <testsuite> per suite, in the order the run met them.
    std::vector<std::string> order;
    std::map<std::string, std::vector<const CheckResult*>> bySuite;
    for (const CheckResult& result : summary.results) {
        if (!bySuite.count(result.suite))
            order.push_back(result.suite);
        bySuite[result.suite].push_back(&result);
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<testsuites name=\"tarvel-check\" tests=\"" + std::to_string(summary.results.size()) + "\" failures=\"" +
           std::to_string(summary.Count(Verdict::Fail)) + "\" skipped=\"" +
           std::to_string(summary.Count(Verdict::Skip)) + "\" time=\"" + Seconds(summary.seconds) + "\">\n";
    for (const std::string& suite : order) {
        const auto& results = bySuite[suite];
        int failures = 0, skipped = 0;
        double seconds = 0;
        for (const CheckResult* r : results) {
            failures += r->verdict == Verdict::Fail;
            skipped += r->verdict == Verdict::Skip;
            seconds += r->seconds;
        }
        out += "  <testsuite name=\"" + XmlAttribute(suite) + "\" tests=\"" + std::to_string(results.size()) +
               "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\" skipped=\"" + std::to_string(skipped) +
               "\" time=\"" + Seconds(seconds) + "\">\n";
        out += JunitProperties(summary);
        for (const CheckResult* r : results) {
            out += "    <testcase classname=\"tarvel-check." + XmlAttribute(suite) + "\" name=\"" +
                   XmlAttribute(r->name) + "\" time=\"" + Seconds(r->seconds) + "\"";
            const std::string notes = Joined(r->notes);
            if (r->verdict == Verdict::Pass && notes.empty()) {
                out += "/>\n";
                continue;
            }
            out += ">\n";
            const std::string messages = Joined(r->messages);
            const std::string head = r->messages.empty() ? std::string() : r->messages.front();
            if (r->verdict == Verdict::Fail)
                out += "      <failure message=\"" + XmlAttribute(head.substr(0, head.find('\n'))) + "\">" +
                       XmlText(messages) + "</failure>\n";
            else if (r->verdict == Verdict::Skip)
                out += "      <skipped message=\"" + XmlAttribute(head.substr(0, head.find('\n'))) + "\"/>\n";
            if (!notes.empty())
                out += "      <system-out>" + XmlText(notes) + "</system-out>\n";
            out += "    </testcase>\n";
        }
        out += "  </testsuite>\n";
    }
    out += "</testsuites>\n";
    return out;
}

}  // namespace checks::runner
