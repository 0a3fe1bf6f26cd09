#include <checks/bench.h>

#include "bench/baseline.h"
#include "bench/bench_formats.h"
#include "bench/bench_report.h"
#include "bench/bench_settings.h"
#include "bench/environment.h"
#include "bench/measure.h"
#include "bench/operations.h"
#include "runner/check_process.h"
#include "runner/report_file.h"
#include "runner/reports.h"
#include "runner/run_settings.h"
#include "runner/tool_version.h"

#include <checks/runner.h>
#include <checks/suites.h>
#include <runtime/object_binding.h>
#include <runtime/mapped_file.h>

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace bench {
namespace {

int CommandLineError(const std::string& message)
{
    std::cerr << "tarvel-check bench: " << message << "\nTry 'tarvel-check bench --help' for more information.\n";
    return checks::kExitCannotRun;
}

// One line on standard error, rewritten in place; only on a terminal, so
// logs and pipes get the table alone.
class ProgressLineOnTerminal {
public:
    explicit ProgressLineOnTerminal(bool wanted) : m_enabled(wanted && isatty(STDERR_FILENO)) {}
    void Show(const std::string& text) const
    {
        if (m_enabled)
            std::cerr << "\r\033[K" << text << std::flush;
    }
    void Clear() const
    {
        if (m_enabled)
            std::cerr << "\r\033[K" << std::flush;
    }

private:
    bool m_enabled;
};

}  // namespace

int BenchMain(int argc, char** argv)
{
    std::string error;
    const auto parsed = ParseBenchCommandLine(argc, argv, error);
    if (!parsed)
        return CommandLineError(error);
    const BenchSettings& settings = *parsed;
    if (settings.help) {
        std::cout << BenchUsageText();
        return checks::kExitAllPassed;
    }
    if (settings.version) {
        std::cout << "tarvel-check " << checks::ToolVersion() << "\n";
        return checks::kExitAllPassed;
    }

    std::vector<Operation> operations;
    for (Operation& op : BenchOperations(settings.file))
        if (checks::runner::NamePicked(op.name, settings.only))
            operations.push_back(std::move(op));
    if (settings.list) {
        for (const Operation& op : operations)
            std::cout << op.name << "  " << op.description << "\n";
        return checks::kExitAllPassed;
    }
    if (operations.empty())
        return CommandLineError("no operation matches the patterns given");

    // A file that cannot be hashed is a wrong command line too.
    if (settings.file) {
        MappedFile probe;
        if (probe.Open(*settings.file) != MappedFile::Status::Ok)
            return CommandLineError("--file " + *settings.file + ": " + probe.ErrorText());
    }

    // Read before anything is timed: a baseline that cannot be read is a
    // wrong command line, not a finding after two minutes of work.
    std::optional<std::vector<BaselineEntry>> baseline;
    if (settings.baselinePath) {
        baseline = ReadBaseline(*settings.baselinePath, error);
        if (!baseline)
            return CommandLineError(error);
    }

    BenchRun run;
    run.environment = ProbeEnvironment();
    if (settings.pinCpu >= 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(settings.pinCpu, &set);
        if (sched_setaffinity(0, sizeof set, &set) != 0)
            return CommandLineError("cannot run on CPU " + std::to_string(settings.pinCpu));
        run.environment.pinnedCpu = settings.pinCpu;
    }

    if (settings.component)
        setenv("TARVEL_COMPONENT", std::filesystem::absolute(*settings.component).lexically_normal().c_str(), 1);
    if (!AfxOleInit()) {
        std::cerr << "tarvel-check bench: cannot load the component: " << CoLastErrorText() << "\n";
        return checks::kExitCannotRun;
    }
    run.component = ComponentLibraryPath();
    // The checker's own loading check, in a child: a library that does not
    // load is one clear refusal, not a failure of every operation.
    {
        checks::SuiteOptions options;
        options.componentPath = run.component;
        const auto probe = checks::runner::RunCheckInChild(checks::LibraryLoadCheck(), options);
        if (probe.verdict == checks::runner::Verdict::Fail) {
            std::cerr << "tarvel-check bench: cannot load the component:\n" << checks::runner::ConsoleLines(probe);
            return checks::kExitCannotRun;
        }
    }
    std::string identityError;
    run.componentFile = checks::runner::IdentifyFile(run.component, identityError);

    run.settings.samples = settings.samples ? settings.samples : kDefaultSamples;
    run.settings.seconds = settings.seconds > 0 ? settings.seconds : kDefaultSeconds;
    run.settings.vsOpenSsl = settings.vsOpenSsl;
    run.settings.cycles = CycleCounter::Probe();
    run.settings.resolutionNs = WallResolution();
    run.environment.clockResolutionNs = run.settings.resolutionNs;
    if (run.settings.cycles) {
        char text[64];
        std::snprintf(text, sizeof text, "invariant TSC, %.3f ticks/ns", run.settings.cycles->TicksPerNanosecond());
        run.environment.cycleCounter = text;
    } else {
        run.environment.cycleCounter = "none usable (no invariant TSC), cycles left out";
    }
    if (settings.baselinePath)
        run.baselinePath = *settings.baselinePath;

    if (!settings.quiet)
        std::cout << EnvironmentLines(run) << "\n" << std::flush;
    const ProgressLineOnTerminal progress(!settings.quiet);
    const std::uint64_t started = WallNanoseconds();
    // The estimate: each operation's share of the budget, scaled by how the
    // operations so far compared with theirs.
    double budgetLeft = 0, budgetDone = 0, tookDone = 0;
    for (const Operation& op : operations)
        budgetLeft += run.settings.seconds * op.budgetScale;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const Operation& op = operations[i];
        const std::uint64_t opStarted = WallNanoseconds();
        const std::string count = "[" + std::to_string(i + 1) + "/" + std::to_string(operations.size()) + "] ";
        run.measurements.push_back(Measure(op, run.settings, [&](const std::string& line) {
            const double pace = budgetDone > 0 ? tookDone / budgetDone : 1.0;
            const double inThis = static_cast<double>(WallNanoseconds() - opStarted) / 1e9;
            const double left = std::max(0.0, budgetLeft * pace - inThis);
            progress.Show(count + line + " \u00b7 about " + std::to_string(static_cast<long>(left + 0.5)) + " s left");
        }));
        const double budget = run.settings.seconds * op.budgetScale;
        budgetLeft -= budget;
        budgetDone += budget;
        tookDone += run.measurements.back().seconds;
        progress.Clear();
    }
    run.seconds = static_cast<double>(WallNanoseconds() - started) / 1e9;

    // Quiet: the failures alone, then the closing line.
    if (!settings.quiet)
        std::cout << (settings.wide ? WideTable(run) : Table(run));
    else
        for (const Measurement& m : run.measurements)
            if (!m.failure.empty())
                std::cout << m.name << "  FAILED: " << m.failure << "\n";
    bool failed = false;
    for (const Measurement& m : run.measurements)
        failed |= !m.failure.empty();
    bool slower = false;
    if (baseline) {
        run.comparisons = CompareWithBaseline(run.measurements, *baseline);
        for (const Comparison& c : run.comparisons)
            slower |= c.change == Comparison::Change::Slower;
        if (!settings.quiet)
            std::cout << "\n" << ComparisonLines(run);
    }
    run.exitStatus =
        failed || (slower && settings.failOnRegression) ? checks::kExitCheckFailed : checks::kExitAllPassed;
    char elapsed[64];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s", run.seconds);
    std::cout << (settings.quiet ? "" : "\n") << run.measurements.size() << " operations in " << elapsed
              << (failed ? "; at least one FAILED and was not timed" : "")
              << (slower ? std::string("; slower than the baseline") +
                               (settings.failOnRegression ? "" : " (not an error without --fail-on-regression)")
                         : "")
              << "\n";
    int status = run.exitStatus;
    for (const auto& [name, path] : settings.reports) {
        const auto* format = checks::runner::FindFormat(BenchReportFormats(), name);
        if (const std::string problem = checks::runner::WriteReportFile(path, format->make()->Render(run));
            !problem.empty()) {
            std::cerr << "tarvel-check bench: cannot write the report " << problem << "\n";
            status = checks::kExitCannotRun;
        }
    }
    return status;
}

}  // namespace bench
