#include "runner/replay_bundle.h"

#include "runner/call_log.h"
#include "runner/check_seed.h"
#include "runner/json_text.h"
#include "runner/run_settings.h"

namespace checks::runner {
namespace {

std::string JsonStrings(const std::vector<std::string>& texts, const char* indent)
{
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i ? ",\n" : "\n") + std::string(indent) + JsonString(texts[i]);
    return out + (texts.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string ReplayBundle(const RunSummary& summary, const CheckResult& result)
{
    const RunOrigin& origin = summary.origin;
    std::string out = "{\n";
    out += "  \"schema\": " + JsonString(kReplaySchema) + ",\n";
    out += "  \"check\": " + JsonString(result.name) + ",\n";
    out += "  \"level\": " + JsonString(LevelName(summary.level)) + ",\n";
    // As text: a JSON number does not carry 64 bits through every reader.
    out += "  \"seed\": " + JsonString(std::to_string(summary.seed)) + ",\n";
    out += "  \"check_seed\": " + JsonString(std::to_string(CheckSeed(summary.seed, result.name))) + ",\n";
    out += "  \"component\": " + JsonString(summary.component) + ",\n";
    out +=
        "  \"component_sha256\": " + (origin.component ? JsonString(origin.component->sha256) : std::string("null")) +
        ",\n";
    out += "  \"tool_version\": " + JsonString(origin.toolVersion) + ",\n";
    std::string verdict = VerdictName(result.verdict);
    for (char& c : verdict)
        c = static_cast<char>(c - 'A' + 'a');
    out += "  \"verdict\": " + JsonString(verdict) + ",\n";
    out += "  \"messages\": " + JsonStrings(result.messages, "    ") + ",\n";
    out += "  \"calls_complete\": " + std::string(result.calls.size() < kMostCalls ? "true" : "false") + ",\n";
    out += "  \"calls\": " + JsonStrings(result.calls, "    ") + "\n}\n";
    return out;
}

}  // namespace checks::runner
