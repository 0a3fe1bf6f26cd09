#include <checks/runner.h>

#include "bench/bench_main.h"
#include "runner/check_process.h"
#include "runner/explain.h"
#include "runner/input_files.h"
#include "runner/memcheck_session.h"
#include "runner/one_check_main.h"
#include "runner/report_file.h"
#include "runner/reports.h"
#include "runner/run_settings.h"
#include "runner/tool_version.h"

#include <runtime/object_binding.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

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

// What one line of the progress shows while a check runs; only on a terminal.
class Progress {
public:
    explicit Progress(bool enabled) : m_enabled(enabled) {}
    void Show(std::size_t index, std::size_t total, const std::string& name)
    {
        if (!m_enabled)
            return;
        std::cout << "\r\033[K[" << index << "/" << total << "] " << name << std::flush;
    }
    void Clear()
    {
        if (m_enabled)
            std::cout << "\r\033[K" << std::flush;
    }

private:
    bool m_enabled;
};

std::string ReplayLine(const RunSettings& settings, const std::string& component, const CheckResult& result)
{
    return "replay: tarvel-check --component " + component + " --level " + runner::LevelName(settings.level) +
           " --seed " + std::to_string(settings.seed) + (settings.memcheck ? " --memcheck" : "") + " --only " +
           result.name;
}

}  // namespace

int RunnerMain(int argc, char** argv, const std::vector<NamedSuite>& suites)
{
    // Timing is a mode of its own: it runs in this process, not a child per
    // check, so nothing but the component's work is timed.
    if (argc > 1 && std::string(argv[1]) == "bench")
        return bench::BenchMain(argc - 1, argv + 1);
    // One check alone, as --memcheck has valgrind run it.
    if (argc > 1 && std::string(argv[1]) == runner::kRunOneCheckWord)
        return runner::RunOneCheckMain(argc, argv, suites);
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
        std::vector<CheckDef> all{LibraryLoadCheck()};
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

    // --memcheck: valgrind must be there before any check runs.
    if (settings.memcheck && !settings.list)
        if (const std::string problem = runner::StartMemcheckSession(ExecutableFolder() + "/../share/tarvel");
            !problem.empty()) {
            std::cerr << "tarvel-check: " << problem << "\n";
            return kExitCannotRun;
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
        const CheckResult probe = runner::RunCheckInChild(LibraryLoadCheck(), options);
        if (probe.verdict == Verdict::Fail) {
            std::cerr << "tarvel-check: cannot load the component:\n" << runner::ConsoleLines(probe);
            return kExitCannotRun;
        }
    }

    std::vector<CheckDef> checks;
    for (const NamedSuite* suite : chosen)
        for (CheckDef& check : suite->suite(options))
            if (runner::NamePicked(check.name, settings.only)) {
                if (settings.timeoutSeconds)
                    check.timeoutSeconds = *settings.timeoutSeconds;
                if (settings.memcheck)  // --timeout too: it is meant for the check, not for valgrind
                    check.timeoutSeconds *= runner::kMemcheckTimeFactor;
                checks.push_back(std::move(check));
            }
    if (settings.list) {
        for (const CheckDef& check : checks)
            std::cout << check.name << "  " << check.description << "\n";
        return kExitAllPassed;
    }
    if (checks.empty())
        return CommandLineError("no check matches the suites and patterns given");
    if (const std::string missing = runner::UnreadableInputs(checks); !missing.empty()) {
        std::cerr << "tarvel-check: cannot read the known answers of the checks picked:\n"
                  << missing
                  << "Install the Debian package python3-cryptography-vectors, point --vectors at a copy of its\n"
                     "cryptography_vectors folder, or leave the vectors suite out (name the other suites).\n";
        return kExitCannotRun;
    }

    std::cout << "tarvel-check: " << options.componentPath << " (level " << runner::LevelName(settings.level)
              << ", seed " << settings.seed << ", " << checks.size() << " checks)\n"
              << std::flush;
    runner::RunSummary summary;
    summary.component = options.componentPath;
    summary.origin = runner::DescribeOrigin(options.componentPath, options.vectorsDir);
    summary.level = settings.level;
    summary.seed = settings.seed;
    Progress progress(isatty(STDOUT_FILENO) && !settings.quiet);
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        progress.Show(i + 1, checks.size(), checks[i].name);
        CheckResult result = runner::RunCheckInChild(checks[i], options);
        progress.Clear();
        if (result.verdict == Verdict::Fail)
            result.notes.push_back(ReplayLine(settings, options.componentPath, result));
        if (!settings.quiet || result.verdict == Verdict::Fail)
            std::cout << runner::ConsoleLines(result) << std::flush;
        summary.results.push_back(std::move(result));
    }
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    summary.exitStatus = summary.Count(Verdict::Fail) ? kExitCheckFailed : kExitAllPassed;

    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, " in %.1f s", summary.seconds);
    std::cout << runner::SummaryLine(summary) << elapsed << "\n" << std::flush;

    int status = summary.exitStatus;
    const auto write = [&](const std::optional<std::string>& path, const std::string& text) {
        if (!path)
            return;
        if (const std::string problem = runner::WriteReportFile(*path, text); !problem.empty()) {
            std::cerr << "tarvel-check: cannot write the report " << problem << "\n";
            status = kExitCannotRun;
        }
    };
    write(settings.jsonPath, runner::JsonDocument(summary));
    write(settings.junitPath, runner::JunitDocument(summary));
    return status;
}

}  // namespace checks
