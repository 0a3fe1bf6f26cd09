#include "runner/check_process.h"

#include "runner/check_seed.h"
#include "runner/child_context.h"
#include "runner/child_record.h"
#include "runner/fault_trap.h"
#include "runner/memcheck_child.h"
#include "runner/report_frames.h"

#include <checks/rules.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

namespace checks::runner {
namespace {

using Clock = std::chrono::steady_clock;

// The child's whole life: report through the pipe, never return.
[[noreturn]] void ChildMain(const CheckDef& check, const SuiteOptions& options, int fd, ChildRecord* record)
{
    // A parent killed by Ctrl-C takes its running check along.
    signal(SIGINT, SIG_DFL);
    signal(SIGPIPE, SIG_IGN);
    InstallFaultTrap(record);
    ChildContext context(options, check.name, CheckSeed(options.seed, check.name), fd, record);
    try {
        check.body(context);
    } catch (const std::exception& error) {
        context.Fail(std::string("the check stopped on an exception: ") + error.what());
    } catch (...) {
        context.Fail("the check stopped on an exception");
    }
    context.Done();
    close(fd);
    // Skip static destructors: the component under test may not survive them,
    // and its failures at exit are not this check's.
    _exit(0);
}

std::string FaultText(const ChildRecord& record)
{
    const char* access = record.faultWasWrite == 1 ? "wrote" : record.faultWasWrite == 0 ? "read" : "touched";
    switch (record.faultPlace) {
    case FaultPlace::PastEnd:
        return std::string(access) + " past the capacity: " + std::to_string(record.faultDistance) +
               " bytes after the end of a " + std::to_string(record.bufferBytes) + "-byte buffer";
    case FaultPlace::BeforeStart:
        return std::string(access) + " before the start of a " + std::to_string(record.bufferBytes) + "-byte buffer (" +
               std::to_string(record.faultDistance) + " bytes before it)";
    case FaultPlace::Elsewhere:
    case FaultPlace::None:
        break;
    }
    return {};
}

std::string DeathText(int status, const SharedChildRecord& record)
{
    std::string text;
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        text = std::string("crashed with signal ") + std::to_string(signal) + " (" + sigabbrev_np(signal) + ")";
        if (const std::string fault = FaultText(record.Get()); !fault.empty())
            text += ": " + fault;
    } else if (WIFEXITED(status)) {
        text = "the process exited with status " + std::to_string(WEXITSTATUS(status)) + " before the check ended";
    } else {
        text = "the process stopped unexpectedly";
    }
    return text;
}

void AddFrame(CheckResult& result, const Frame& frame, bool& done)
{
    switch (frame.kind) {
    case FrameKind::Fail:
        result.verdict = Verdict::Fail;
        result.messages.push_back(frame.text);
        break;
    case FrameKind::Note:
        result.notes.push_back(frame.text);
        break;
    case FrameKind::Skip:
        if (result.verdict != Verdict::Fail)
            result.verdict = Verdict::Skip;
        result.messages.push_back(frame.text);
        break;
    case FrameKind::Done:
        done = true;
        break;
    }
}

}  // namespace

CheckResult RunCheckInChild(const CheckDef& check, const SuiteOptions& options)
{
    CheckResult result;
    result.name = check.name;
    result.suite = check.name.substr(0, check.name.find('.'));
    result.description = check.description;

    SharedChildRecord record;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        result.verdict = Verdict::Fail;
        result.messages.push_back(std::string("cannot start the check: pipe: ") + std::strerror(errno));
        return result;
    }
    // --memcheck: the child becomes valgrind running this one check.
    const auto memcheck = MemcheckChild::ForThisRun();
    const auto started = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        result.verdict = Verdict::Fail;
        result.messages.push_back(std::string("cannot start the check: fork: ") + std::strerror(errno));
        return result;
    }
    if (child == 0) {
        close(fds[0]);
        if (memcheck)
            memcheck->Exec(check, options, fds[1]);
        ChildMain(check, options, fds[1], &record.Get());
    }
    close(fds[1]);

    FrameReader reader;
    bool done = false;
    bool timedOut = false;
    const auto deadline = started + std::chrono::duration<double>(check.timeoutSeconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd wait{fds[0], POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(std::min<long long>(left, 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char bytes[4096];
        const ssize_t n = read(fds[0], bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // the child closed its end: finished or dead
        reader.Append(bytes, static_cast<std::size_t>(n));
        for (const Frame& frame : reader.Take())
            AddFrame(result, frame, done);
    }
    close(fds[0]);
    if (timedOut)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (memcheck)
        memcheck->AddFindings(result, record.Get(), options.componentPath);

    if (done && !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return result;
    result.verdict = Verdict::Fail;
    std::string text =
        timedOut ? "did not finish within " + std::to_string(static_cast<int>(check.timeoutSeconds)) + " s (stopped)"
                 : DeathText(status, record);
    if (const std::string call = record.LastCall(); !call.empty())
        text += "; last call started: " + call;
    // A fault at a guard page is an access outside the buffer given; any other
    // death or a hang is a call that did not return.
    const FaultPlace place = record.Get().faultPlace;
    const bool atGuard = !timedOut && (place == FaultPlace::PastEnd || place == FaultPlace::BeforeStart);
    result.messages.push_back(RuleTag(*FindRule(atGuard ? "memory.within-buffers" : "call.returns")) + text);
    return result;
}

}  // namespace checks::runner
