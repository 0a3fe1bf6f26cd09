#include <checks/runner.h>

#include "runner/call_log.h"
#include "runner/check_process.h"
#include "runner/check_scheduler.h"
#include "runner/console_style.h"
#include "runner/expect_fail.h"
#include "runner/expected_durations.h"
#include "runner/explain.h"
#include "runner/input_files.h"
#include "runner/replay_bundle.h"
#include "runner/child_session.h"
#include "runner/one_check_main.h"
#include "runner/report_file.h"
#include "runner/report_formats.h"
#include "runner/reports.h"
#include "runner/run_settings.h"
#include "runner/shard.h"
#include "runner/tool_version.h"

#include <runtime/object_binding.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>

namespace checks {
namespace {

using runner::CheckResult;
using runner::RunSettings;
using runner::Verdict;

constexpr const char* kDefaultVectors = "/usr/lib/python3/dist-packages/cryptography_vectors";

std::string ExecutableFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

int CommandLineError(const std::string& message)
{
    std::cerr << "tarvel-check: " << message << "\nTry 'tarvel-check --help' for more information.\n";
    return kExitCannotRun;
}

// One line on standard output rewritten in place while checks run; only on
// a terminal, so logs and pipes get the results alone.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : m_enabled(enabled) {}
    void Show(const std::string& text)
    {
        if (m_enabled)
            std::cout << "\r\033[K" << text << std::flush;
    }
    void Clear()
    {
        if (m_enabled)
            std::cout << "\r\033[K" << std::flush;
    }

private:
    bool m_enabled;
};

// The checks the command line picks, in the suites' order: --only and --skip,
// then --shard.
std::vector<CheckDef> PickedChecks(const std::vector<const NamedSuite*>& chosen, const RunSettings& settings,
                                   const SuiteOptions& options, std::vector<std::string>& allNames)
{
    std::vector<CheckDef> checks;
    for (const NamedSuite* suite : chosen)
        for (CheckDef& check : suite->suite(options)) {
            allNames.push_back(check.name);
            if (!runner::NamePicked(check.name, settings.only) ||
                (!settings.skip.empty() && runner::NamePicked(check.name, settings.skip)))
                continue;
            if (settings.timeoutSeconds)
                check.timeoutSeconds = *settings.timeoutSeconds;
            if (settings.memcheck)  // --timeout too: it is meant for the check, not for valgrind
                check.timeoutSeconds *= runner::kMemcheckTimeFactor;
            checks.push_back(std::move(check));
        }
    if (!settings.shardCount)
        return checks;
    std::vector<std::string> names;
    std::vector<double> seconds;
    for (const CheckDef& check : checks) {
        names.push_back(check.name);
        seconds.push_back(runner::ExpectedSeconds(check.name, settings.level));
    }
    std::vector<CheckDef> part;
    for (const std::size_t at : runner::ShardPositions(names, seconds, settings.shardIndex, settings.shardCount))
        part.push_back(std::move(checks[at]));
    return part;
}

}  // namespace

int RunnerMain(int argc, char** argv, const std::vector<NamedSuite>& suites, const CheckDef& libraryLoad)
{
    if (argc > 1 && std::string(argv[1]) == "replay")
        return runner::ReplayMain(argc - 1, argv + 1, suites);
    // One check alone, as --memcheck has valgrind run it.
    if (argc > 1 && std::string(argv[1]) == runner::kRunOneCheckWord)
        return runner::RunOneCheckMain(argc, argv, suites, libraryLoad);
    std::string error;
    const auto parsed = runner::ParseCommandLine(argc, argv, error);
    if (!parsed)
        return CommandLineError(error);
    const RunSettings& settings = *parsed;
    if (settings.help) {
        std::vector<std::string> lines;
        for (const NamedSuite& suite : suites)
            lines.push_back(suite.name + std::string(suite.name.size() < 14 ? 14 - suite.name.size() : 1, ' ') +
                            suite.description);
        std::cout << runner::UsageText(lines);
        return kExitAllPassed;
    }
    if (settings.version) {
        std::cout << "tarvel-check " << ToolVersion() << "\n";
        return kExitAllPassed;
    }
    if (settings.explain) {
        SuiteOptions everything;
        everything.level = Level::Thorough;
        everything.vectorsDir = settings.vectorsDir.value_or(kDefaultVectors);
        everything.dataDir = ExecutableFolder() + "/../share/tarvel";
        std::vector<CheckDef> all{libraryLoad};
        for (const NamedSuite& suite : suites)
            for (CheckDef& check : suite.suite(everything))
                all.push_back(std::move(check));
        const auto text = runner::ExplainText(*settings.explain, all);
        if (!text)
            return CommandLineError("no rule or check named '" + *settings.explain + "' (--list names the checks)");
        std::cout << *text;
        return kExitAllPassed;
    }
    std::vector<const NamedSuite*> chosen;
    for (const std::string& name : settings.suites) {
        const NamedSuite* found = nullptr;
        for (const NamedSuite& suite : suites)
            if (suite.name == name)
                found = &suite;
        if (!found && name == "bench")
            return CommandLineError("bench must come first: tarvel-check bench [OPTION]...");
        if (!found)
            return CommandLineError("no suite named '" + name + "'");
        // A suite named twice runs once: a run never counts a check twice.
        if (std::find(chosen.begin(), chosen.end(), found) == chosen.end())
            chosen.push_back(found);
    }
    if (chosen.empty())
        for (const NamedSuite& suite : suites)
            chosen.push_back(&suite);

    // The programs' own choice of library, with --component put in front of
    // it; a relative --component is taken from the current folder, as a user
    // typing it means.
    if (settings.component)
        setenv("TARVEL_COMPONENT", std::filesystem::absolute(*settings.component).lexically_normal().c_str(), 1);
    if (!AfxOleInit()) {
        std::cerr << "tarvel-check: cannot load the component: " << CoLastErrorText() << "\n";
        return kExitCannotRun;
    }

    // --memcheck: valgrind must be there before any check runs. A build
    // with sanitizers runs each check in a fresh process of its own.
    if (!settings.list && (settings.memcheck || runner::kSanitizerBuild)) {
        const std::string dataDir = ExecutableFolder() + "/../share/tarvel";
        if (const std::string problem =
                settings.memcheck ? runner::StartMemcheckSession(dataDir) : runner::StartExecSession(dataDir);
            !problem.empty()) {
            std::cerr << "tarvel-check: " << problem << "\n";
            return kExitCannotRun;
        }
    }

    SuiteOptions options;
    options.level = settings.level;
    options.seed = settings.seed;
    options.vectorsDir = settings.vectorsDir.value_or(kDefaultVectors);
    options.dataDir = ExecutableFolder() + "/../share/tarvel";
    options.componentPath = ComponentLibraryPath();
    options.namedSuites = settings.suites;

    // Nothing else can be judged when the library does not even load.
    {
        const CheckResult probe = runner::RunCheckInChild(libraryLoad, options);
        if (probe.verdict == Verdict::Fail) {
            std::cerr << "tarvel-check: cannot load the component:\n" << runner::ConsoleLines(probe);
            return kExitCannotRun;
        }
    }

    std::optional<std::map<std::string, std::string>> expectFail;
    if (settings.expectFailPath) {
        expectFail = runner::ReadExpectFail(*settings.expectFailPath, error);
        if (!expectFail)
            return CommandLineError(error);
    }
    std::vector<std::string> allNames;
    std::vector<CheckDef> checks = PickedChecks(chosen, settings, options, allNames);
    if (expectFail)
        for (const auto& [name, reason] : *expectFail)
            if (std::find(allNames.begin(), allNames.end(), name) == allNames.end())
                std::cerr << "tarvel-check: --expect-fail lists " << name
                          << ", which is no check of the suites and level chosen\n";
    if (settings.list) {
        for (const CheckDef& check : checks)
            std::cout << check.name << "  " << check.description << "\n";
        return kExitAllPassed;
    }
    // A shard may be left with nothing when there are more shards than
    // checks; that is an empty run, not a wrong command line.
    if (checks.empty() && !settings.shardCount)
        return CommandLineError("no check matches the suites and patterns given");
    if (const std::string missing = runner::UnreadableInputs(checks); !missing.empty()) {
        std::cerr << "tarvel-check: cannot read the known answers of the checks picked:\n"
                  << missing
                  << "Install the Debian package python3-cryptography-vectors, point --vectors at a copy of its\n"
                     "cryptography_vectors folder, or leave the vectors suite out (name the other suites).\n";
        return kExitCannotRun;
    }
    if (settings.artifactsDir) {
        std::error_code made;
        std::filesystem::create_directories(*settings.artifactsDir, made);
        if (made || !std::filesystem::is_directory(*settings.artifactsDir))
            return CommandLineError("--artifacts " + *settings.artifactsDir + ": not a folder that can be made");
        runner::SetCallRecording(true);
    }

    runner::RunSummary summary;
    summary.component = options.componentPath;
    summary.origin = runner::DescribeOrigin(options.componentPath, options.vectorsDir);
    summary.level = settings.level;
    summary.seed = settings.seed;
    summary.memcheck = settings.memcheck;
    summary.jobs = static_cast<int>(settings.jobs ? settings.jobs : std::max(1u, std::thread::hardware_concurrency()));
    if (settings.shardCount)
        summary.shard = std::to_string(settings.shardIndex) + "/" + std::to_string(settings.shardCount);
    std::cout << runner::HeaderLine(summary, checks.size()) << "\n" << std::flush;

    const runner::TextStyle style{runner::UseColour(settings.colour, STDOUT_FILENO)};
    const bool onTerminal = isatty(STDOUT_FILENO) && !settings.quiet;
    ProgressLine progress(onTerminal);
    const std::size_t columns = onTerminal ? runner::TerminalColumns(STDOUT_FILENO) : 80;
    std::vector<runner::CheckPlan> plans;
    for (const CheckDef& check : checks)
        plans.push_back({runner::ExpectedSeconds(check.name, settings.level), runner::RunsAlone(check.name)});
    runner::ScheduleCallbacks callbacks;
    callbacks.finished = [&](std::size_t, CheckResult& result) {
        if (expectFail)
            if (const auto listed = expectFail->find(result.name); listed != expectFail->end())
                result.expectedFailure = listed->second;
        if (result.verdict == Verdict::Fail)
            result.notes.push_back("replay: " + runner::ReplayCommand(summary, result.name));
        progress.Clear();
        if (!settings.quiet || result.verdict == Verdict::Fail || result.UnexpectedPass())
            std::cout << runner::ResultLines(result, style) << std::flush;
    };
    callbacks.progress = [&](const runner::ScheduleProgress& state) {
        progress.Show(runner::ProgressText(state.done, state.total, state.running, state.secondsLeft, columns));
    };
    const auto started = std::chrono::steady_clock::now();
    summary.results = runner::RunChecks(checks, plans, options, static_cast<unsigned>(summary.jobs), callbacks);
    progress.Clear();
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    summary.exitStatus = summary.VerdictStatus() ? kExitCheckFailed : kExitAllPassed;

    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, " in %.1f s", summary.seconds);
    std::cout << runner::SummaryLine(summary) << elapsed << "\n" << std::flush;

    int status = summary.exitStatus;
    if (settings.artifactsDir)
        for (const CheckResult& result : summary.results)
            if (result.verdict == Verdict::Fail) {
                const std::string path = *settings.artifactsDir + "/" + result.name + ".json";
                if (const std::string problem = runner::WriteReportFile(path, runner::ReplayBundle(summary, result));
                    !problem.empty()) {
                    std::cerr << "tarvel-check: cannot write the replay bundle " << problem << "\n";
                    status = kExitCannotRun;
                }
            }
    for (const auto& [name, path] : settings.reports) {
        const auto* format = runner::FindFormat(runner::CheckReportFormats(), name);
        if (const std::string problem = runner::WriteReportFile(path, format->make()->Render(summary));
            !problem.empty()) {
            std::cerr << "tarvel-check: cannot write the report " << problem << "\n";
            status = kExitCannotRun;
        }
    }
    return status;
}

}  // namespace checks
