// The run as a tarvel-check/1 JSON document (checks/README.md).
#include "runner/json_text.h"
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/run_settings.h"

#include <checks/rules.h>

#include <cstdio>

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

std::string JsonRules(const std::string& checkName)
{
    std::string out = "[";
    for (const Rule* rule : RulesOfCheck(checkName))
        out += std::string(out.size() > 1 ? ", " : "") + "{\"id\": " + JsonString(rule->id) +
               ", \"class\": " + JsonString(RuleClassName(rule->ruleClass)) + "}";
    return out + "]";
}

class JsonReporter final : public Reporter<RunSummary> {
public:
    std::string Render(const RunSummary& summary) const override
    {
        std::string out = "{\n";
        out += "  \"schema\": " + JsonString(kJsonSchema) + ",\n";
        out += "  \"tool\": \"tarvel-check\",\n";
        out += "  \"component\": " + JsonString(summary.component) + ",\n";
        out += JsonOrigin(summary.origin);
        out += "  \"level\": " + JsonString(LevelName(summary.level)) + ",\n";
        out += "  \"seed\": " + std::to_string(summary.seed) + ",\n";
        out += "  \"shard\": " + (summary.shard.empty() ? std::string("null") : JsonString(summary.shard)) + ",\n";
        out += "  \"jobs\": " + std::to_string(summary.jobs) + ",\n";
        out += "  \"memcheck\": " + std::string(summary.memcheck ? "true" : "false") + ",\n";
        out += "  \"seconds\": " + Seconds(summary.seconds) + ",\n";
        out += "  \"summary\": {\"passed\": " + std::to_string(summary.Count(Verdict::Pass)) +
               ", \"failed\": " + std::to_string(summary.CountUnexpectedFailures()) +
               ", \"skipped\": " + std::to_string(summary.Count(Verdict::Skip)) +
               ", \"with_notes\": " + std::to_string(summary.CountWithNotes()) +
               ", \"expected_failures\": " + std::to_string(summary.CountExpectedFailures()) +
               ", \"unexpected_passes\": " + std::to_string(summary.CountUnexpectedPasses()) + "},\n";
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
                   ",\n     \"description\": " + JsonString(r.description) + ",\n     \"rules\": " + JsonRules(r.name) +
                   ",\n     \"messages\": " + JsonStrings(r.messages) + ", \"notes\": " + JsonStrings(r.notes);
            if (r.Listed())
                out += ",\n     \"expected_failure\": " + JsonString(r.expectedFailure);
            out += "}";
        }
        out += summary.results.empty() ? "]\n}\n" : "\n  ]\n}\n";
        return out;
    }
};

}  // namespace

std::unique_ptr<Reporter<RunSummary>> MakeJsonReporter()
{
    return std::make_unique<JsonReporter>();
}

std::string JsonDocument(const RunSummary& summary)
{
    return JsonReporter().Render(summary);
}

}  // namespace checks::runner
