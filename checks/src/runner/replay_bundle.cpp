#include "runner/replay_bundle.h"

#include "runner/call_log.h"
#include "runner/check_seed.h"
#include "runner/json_text.h"
#include "runner/run_settings.h"

namespace checks::runner {

std::string ReplayBundle(const RunSummary& summary, const CheckResult& result)
{
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
    });
}

}  // namespace checks::runner
