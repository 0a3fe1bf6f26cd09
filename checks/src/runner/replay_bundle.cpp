#include "runner/replay_bundle.h"

#include "runner/call_log.h"
#include "runner/call_record.h"
#include "runner/check_seed.h"
#include "runner/json_text.h"
#include "runner/run_settings.h"

namespace checks::runner {

namespace {

// A call's inputs and answers as one object; "returned": false for the call
// the child never came back from.
OrderedJson Record(const RecordedCall& call)
{
    OrderedJson record = OrderedJson::parse(call.started, nullptr, false);
    if (!record.is_object())
        return nullptr;
    const OrderedJson answer = OrderedJson::parse(call.returned, nullptr, false);
    if (answer.is_object()) {
        record["status"] = answer.value("status", "");
        record["out"] = answer.contains("out") ? answer["out"] : OrderedJson::object();
    } else {
        record["returned"] = false;
    }
    return record;
}

}  // namespace

std::string ReplayBundle(const RunSummary& summary, const CheckResult& result)
{
    OrderedJson records = OrderedJson::array();
    for (const RecordedCall& call : result.records)
        records.push_back(Record(call));
    const std::string_view unrecorded = UnrecordedReason(result.suite);
    const RunOrigin& origin = summary.origin;
    std::string verdict = VerdictName(result.verdict);
    for (char& c : verdict)
        c = static_cast<char>(c - 'A' + 'a');
    return JsonLayout({
        {"schema", kReplaySchema},
        {"check", result.name},
        {"level", LevelName(summary.level)},
        // As text: a JSON number does not carry 64 bits through every reader.
        {"seed", std::to_string(summary.seed)},
        {"check_seed", std::to_string(CheckSeed(summary.seed, result.name))},
        {"component", summary.component},
        {"component_sha256", origin.component ? OrderedJson(origin.component->sha256) : OrderedJson()},
        {"tool_version", origin.toolVersion},
        {"verdict", verdict},
        {"messages", result.messages},
        {"calls_complete", result.calls.size() < kMostCalls},
        {"calls", result.calls},
        {"call_records_complete", unrecorded.empty() && result.recordIncomplete.empty()},
        {"call_records_note", unrecorded.empty() ? result.recordIncomplete : std::string(unrecorded)},
        {"call_records", std::move(records)},
    });
}

}  // namespace checks::runner
