// tarvel-check replay: one failing check run again from its bundle.
#include "runner/json_reader.h"
#include "runner/call_log.h"
#include "runner/call_replay.h"
#include "runner/check_process.h"
#include "runner/check_seed.h"
#include "runner/child_context.h"
#include "runner/option_reader.h"
#include "runner/replay_bundle.h"
#include "runner/report_frames.h"
#include "runner/reports.h"
#include "runner/run_origin.h"
#include "runner/run_settings.h"
#include "runner/utf8_text.h"

#include <checks/runner.h>
#include <runtime/object_binding.h>

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace checks::runner {
namespace {

constexpr const char* kUsage = "Usage: tarvel-check replay BUNDLE [--in-process] [--rerun] [--component PATH]\n"
                               "Issues the component calls a replay bundle recorded (written by tarvel-check\n"
                               "--artifacts DIR for each failing check) again, in order, with the recorded\n"
                               "arguments, and compares each status and output with the record; the first\n"
                               "differences are shown with the call's number. A bundle without call records\n"
                               "(the timing, memory and load suites, or a tarvel-replay/1 bundle) runs its\n"
                               "check again with the same seed and level instead.\n"
                               "\n"
                               "  --in-process      replay in this process, not a child, so a debugger\n"
                               "                    started on tarvel-check sees the component's code\n"
                               "  --rerun           run the check again from its seed and compare the calls it\n"
                               "                    names and its verdict, even where calls were recorded\n"
                               "  --timeout SECONDS time the replay may take before it is stopped as hung\n"
                               "                    (default: the check's own limit)\n"
                               "  --component PATH  another build of the component (default: the bundle's)\n"
                               "\n"
                               "Exit status: 0 the component answers the same, 1 it answers differently,\n"
                               "2 the bundle cannot be read or the component does not load.\n";

constexpr std::size_t kMostBundleBytes = 64u << 20;

int Refuse(const std::string& message)
{
    std::cerr << "tarvel-check replay: " << message << "\n";
    return kExitCannotRun;
}

std::vector<std::string> Texts(const JsonValue* array)
{
    std::vector<std::string> texts;
    if (array)
        for (const JsonValue& item : array->items)
            texts.push_back(item.text);
    return texts;
}

// The body in this process: its reports go into a memory file, read back as
// the frames a child would have sent.
CheckResult RunInProcess(const CheckDef& check, const SuiteOptions& options)
{
    CheckResult result;
    result.name = check.name;
    result.suite = check.name.substr(0, check.name.find('.'));
    const int fd = memfd_create("tarvel-replay", MFD_CLOEXEC);
    if (fd < 0) {
        result.verdict = Verdict::Fail;
        result.messages.push_back("cannot run in process: memfd_create failed");
        return result;
    }
    ChildRecord record;
    const auto started = std::chrono::steady_clock::now();
    {
        ChildContext context(options, check.name, CheckSeed(options.seed, check.name), fd, &record);
        context.Run(check);
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    FrameReader reader;
    char bytes[65536];
    ssize_t n = 0;
    for (off_t at = 0; (n = pread(fd, bytes, sizeof bytes, at)) > 0; at += n)
        reader.Append(bytes, static_cast<std::size_t>(n));
    close(fd);
    for (const Frame& frame : reader.Take()) {
        if (frame.kind == FrameKind::Fail) {
            result.verdict = Verdict::Fail;
            result.messages.push_back(frame.text);
        } else if (frame.kind == FrameKind::Skip) {
            if (result.verdict != Verdict::Fail)
                result.verdict = Verdict::Skip;
            result.messages.push_back(frame.text);
        } else if (frame.kind == FrameKind::Note) {
            result.notes.push_back(frame.text);
        } else if (frame.kind == FrameKind::Calls) {
            AddCalls(result, frame.text);
        }
    }
    return result;
}

// The recorded calls issued again (call_replay.h), in a child unless
// inProcess; 0 the same answers, 1 different ones (or a crash or a hang the
// record does not hold).
int ReplayRecords(const JsonValue& bundle, const JsonValue& records, const std::string& checkName, double timeout,
                  const SuiteOptions& options, bool inProcess)
{
    const CheckDef replay{"replay." + checkName, "the recorded calls issued again",
                          [&records](Context& ctx) { ReplayCalls(ctx, records); }, timeout};
    const CheckResult now = inProcess ? RunInProcess(replay, options) : RunCheckInChild(replay, options);
    const JsonValue* note = bundle.Field("call_records_note");
    if (note && !note->text.empty())
        std::cout << "note: " << TerminalText(note->text) << "\n";
    // The call the check never came back from, if the record holds one.
    std::string unreturned;
    for (const JsonValue& record : records.items)
        if (const JsonValue* status = record.Field("status"); !status && unreturned.empty())
            unreturned = ReplayedCallName(record);
    bool differs = false;
    for (const std::string& text : now.notes) {
        differs = differs || text.rfind(kDiffersNote, 0) == 0;
        std::cout << TerminalText(text) << "\n";
    }
    bool sameEnd = false;
    for (const std::string& message : now.messages) {
        // A crash or a hang at the call that did not return then either is
        // the answer recorded.
        sameEnd = !unreturned.empty() && message.find("last call started: " + unreturned) != std::string::npos;
        std::cout << (sameEnd ? unreturned + " did not return, as recorded: " : "the replay failed: ")
                  << TerminalText(message) << "\n";
    }
    if (now.verdict == Verdict::Fail && !sameEnd)
        differs = true;
    if (now.verdict != Verdict::Fail && !unreturned.empty() && !differs) {
        std::cout << "recorded: " << unreturned << " did not return; now every call returned\n";
        differs = true;
    }
    std::cout << (differs ? "the component answers differently\n" : "the component answers the same\n");
    return differs ? kExitCheckFailed : kExitAllPassed;
}

// "" when the two lists agree, else where they part.
std::string CallDifference(const std::vector<std::string>& recorded, const std::vector<std::string>& now)
{
    for (std::size_t i = 0; i < std::max(recorded.size(), now.size()); ++i) {
        const std::string before = i < recorded.size() ? recorded[i] : "(no call)";
        const std::string after = i < now.size() ? now[i] : "(no call)";
        if (before != after)
            return "call " + std::to_string(i + 1) + ": recorded " + before + ", now " + after;
    }
    return {};
}

}  // namespace

int ReplayMain(int argc, char** argv, const std::vector<NamedSuite>& suites)
{
    std::optional<std::string> bundlePath, component;
    bool inProcess = false;
    bool rerun = false;
    std::optional<double> timeout;
    std::string error;
    OptionReader args(argc, argv);
    while (args.Next()) {
        const std::string& arg = args.Word();
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return kExitAllPassed;
        }
        if (arg == "--in-process") {
            if (!args.NoValue(error))
                return Refuse(error);
            inProcess = true;
        } else if (arg == "--rerun") {
            if (!args.NoValue(error))
                return Refuse(error);
            rerun = true;
        } else if (arg == "--timeout") {
            const auto value = args.Value(error);
            if (!value)
                return Refuse(error);
            char* end = nullptr;
            timeout = std::strtod(value->c_str(), &end);
            if (end == value->c_str() || *end || !(*timeout > 0 && *timeout <= 86400))
                return Refuse("--timeout takes seconds above 0 and at most 86400, not " + *value);
        } else if (arg == "--component") {
            component = args.Value(error);
            if (!component)
                return Refuse(error);
        } else if (args.IsOption() || bundlePath) {
            return Refuse((args.IsOption() ? "unknown option " : "one bundle only, not also ") + arg +
                          "\nTry 'tarvel-check replay --help' for more information.");
        } else {
            bundlePath = arg;
        }
    }
    if (!bundlePath)
        return Refuse("which bundle? Try 'tarvel-check replay --help' for more information.");

    std::error_code sizeError;
    const auto size = std::filesystem::file_size(*bundlePath, sizeError);
    if (sizeError || size > kMostBundleBytes || !std::filesystem::is_regular_file(*bundlePath))
        return Refuse(*bundlePath + ": not a readable bundle file of at most 64 MiB");
    std::ifstream file(*bundlePath, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const auto bundle = ParseJson(text.str(), error);
    if (!bundle)
        return Refuse(*bundlePath + " is not JSON: " + error);
    const JsonValue* schema = bundle->Field("schema");
    const JsonValue* check = bundle->Field("check");
    const JsonValue* level = bundle->Field("level");
    const JsonValue* seed = bundle->Field("seed");
    if (!schema || (schema->text != kReplaySchema && schema->text != kFirstReplaySchema) || !check || !level || !seed)
        return Refuse(*bundlePath + " is no " + kReplaySchema + " bundle");

    SuiteOptions options;
    options.level = level->text == "quick"      ? Level::Quick
                    : level->text == "thorough" ? Level::Thorough
                                                : Level::Standard;
    options.seed = std::strtoull(seed->text.c_str(), nullptr, 10);
    options.vectorsDir = "/usr/lib/python3/dist-packages/cryptography_vectors";
    std::error_code exeError;
    options.dataDir =
        std::filesystem::read_symlink("/proc/self/exe", exeError).parent_path().string() + "/../share/tarvel";
    const JsonValue* recordedComponent = bundle->Field("component");
    const std::string path = component           ? std::filesystem::absolute(*component).lexically_normal().string()
                             : recordedComponent ? recordedComponent->text
                                                 : "";
    if (!path.empty())
        setenv("TARVEL_COMPONENT", path.c_str(), 1);
    if (!AfxOleInit())
        return Refuse("cannot load the component: " + CoLastErrorText());
    options.componentPath = ComponentLibraryPath();

    const CheckDef* found = nullptr;
    std::vector<CheckDef> listed;
    for (const NamedSuite& suite : suites)
        for (CheckDef& def : suite.suite(options))
            listed.push_back(std::move(def));
    for (const CheckDef& def : listed)
        if (def.name == check->text)
            found = &def;
    if (!found)
        return Refuse("no check named " + check->text + " at level " + level->text);
    if (timeout)
        for (CheckDef& def : listed)
            def.timeoutSeconds = *timeout;

    std::cout << "replay: " << TerminalText(found->name) << " (level " << LevelName(options.level) << ", seed "
              << options.seed << ") on " << TerminalText(options.componentPath)
              << (inProcess ? ", in this process\n" : "\n");
    std::string identityError;
    const auto identity = IdentifyFile(options.componentPath, identityError);
    const JsonValue* sha = bundle->Field("component_sha256");
    if (sha && identity && sha->text != identity->sha256)
        std::cout << "note: the component is another build than the bundle's (SHA-256 " << TerminalText(sha->text)
                  << ", now " << identity->sha256 << ")\n";

    // A bundle of the first schema holds no call records.
    const JsonValue* records = schema->text == kReplaySchema ? bundle->Field("call_records") : nullptr;
    if (!rerun && records && !records->items.empty())
        return ReplayRecords(*bundle, *records, found->name, found->timeoutSeconds, options, inProcess);
    if (!rerun) {
        const JsonValue* why = bundle->Field("call_records_note");
        std::cout << "no calls recorded"
                  << (why && !why->text.empty() ? " (" + TerminalText(why->text) + ")" : std::string())
                  << ": the check runs again from its seed\n";
    }

    SetCallRecording(true);
    const CheckResult now = inProcess ? RunInProcess(*found, options) : RunCheckInChild(*found, options);
    const std::vector<std::string> recordedCalls = Texts(bundle->Field("calls"));
    const std::vector<std::string> recordedMessages = Texts(bundle->Field("messages"));
    const JsonValue* verdict = bundle->Field("verdict");
    std::string nowVerdict = VerdictName(now.verdict);
    for (char& c : nowVerdict)
        c = static_cast<char>(c - 'A' + 'a');

    const std::string callDifference = CallDifference(recordedCalls, now.calls);
    const bool sameVerdict = verdict && verdict->text == nowVerdict && recordedMessages == now.messages;
    std::cout << (callDifference.empty()
                      ? "calls: the same " + std::to_string(now.calls.size()) + " in the same order\n"
                      : "calls differ at " + TerminalText(callDifference) + "\n");
    std::cout << (sameVerdict ? "verdict: " + nowVerdict + " with the same messages, as recorded\n"
                              : "verdict now (recorded: " + (verdict ? verdict->text : std::string("none")) + "):\n" +
                                    ConsoleLines(now));
    const bool same = callDifference.empty() && sameVerdict;
    std::cout << (same ? "the component answers the same\n" : "the component answers differently\n");
    return same ? kExitAllPassed : kExitCheckFailed;
}

}  // namespace checks::runner
