// The run as a tarvel-check/1 JSON document (checks/README.md).
#include "runner/json_text.h"
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/run_settings.h"

#include <checks/rules.h>

namespace checks::runner {
namespace {

OrderedJson Seconds(double seconds)
{
    return JsonFigure(seconds, "%.3f");
}

std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c - 'A' + 'a');
    return text;
}

OrderedJson Check(const CheckResult& r)
{
    OrderedJson rules = OrderedJson::array();
    for (const Rule* rule : RulesOfCheck(r.name))
        rules.push_back({{"id", rule->id}, {"class", RuleClassName(rule->ruleClass)}});
    OrderedJson check = {{"name", r.name},
                         {"suite", r.suite},
                         {"verdict", LowerCase(VerdictName(r.verdict))},
                         {"seconds", Seconds(r.seconds)},
                         {"description", r.description},
                         {"rules", rules},
                         {"messages", r.messages},
                         {"notes", r.notes}};
    if (r.Listed())
        check["expected_failure"] = r.expectedFailure;
    return check;
}

class JsonReporter final : public Reporter<RunSummary> {
public:
    std::string Render(const RunSummary& summary) const override
    {
        const RunOrigin& origin = summary.origin;
        OrderedJson document = {
            {"schema", kJsonSchema},
            {"tool", "tarvel-check"},
            {"component", summary.component},
            {"tool_version", origin.toolVersion},
            {"component_file",
             origin.component ? OrderedJson{{"bytes", origin.component->bytes}, {"sha256", origin.component->sha256}}
                              : OrderedJson{{"error", origin.componentError}}},
            {"openssl", origin.openssl},
            {"vectors", {{"folder", origin.vectorsFolder}, {"version", origin.vectorsVersion}}},
            {"level", LevelName(summary.level)},
            {"seed", summary.seed},
            {"shard", summary.shard.empty() ? OrderedJson() : OrderedJson(summary.shard)},
            {"jobs", summary.jobs},
            {"memcheck", summary.memcheck},
            {"seconds", Seconds(summary.seconds)},
            {"summary",
             {{"passed", summary.Count(Verdict::Pass)},
              {"failed", summary.CountUnexpectedFailures()},
              {"skipped", summary.Count(Verdict::Skip)},
              {"with_notes", summary.CountWithNotes()},
              {"expected_failures", summary.CountExpectedFailures()},
              {"unexpected_passes", summary.CountUnexpectedPasses()}}},
            {"exit_status", summary.exitStatus},
            {"checks", OrderedJson::array()},
        };
        for (const CheckResult& result : summary.results)
            document["checks"].push_back(Check(result));
        return JsonLayout(document);
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
