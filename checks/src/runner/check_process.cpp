#include "runner/check_process.h"

#include "runner/call_log.h"
#include "runner/call_record.h"
#include "runner/check_seed.h"
#include "runner/child_context.h"
#include "runner/child_record.h"
#include "runner/fault_trap.h"
#include "runner/fresh_child.h"
#include "runner/report_frames.h"
#include "runner/running_groups.h"

#include <checks/rules.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <exception>
#include <iterator>
#include <string>

namespace checks::runner {
namespace {

using Clock = std::chrono::steady_clock;

// Reads of 4 KiB after the child's end: well above a pipe's capacity, which
// bounds what the child can have left unread.
constexpr int kMostReadsAfterExit = 1024;

// The child's whole life: report through the pipe, never return.
[[noreturn]] void ChildMain(const CheckDef& check, const SuiteOptions& options, int fd, ChildRecord* record,
                            pid_t parent, const FreshChild* fresh)
{
    // A group of its own, so that whatever the component starts can be
    // stopped with it; and gone with the parent, however the parent ends.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(1);
    for (const int signal : kEndingSignals)
        ::signal(signal, SIG_DFL);
    signal(SIGPIPE, SIG_IGN);
    // From here on the child is this program (under memcheck or not)
    // running this one check.
    if (fresh)
        fresh->Exec();
    InstallFaultTrap(record);
    ChildContext context(options, check.name, CheckSeed(options.seed, check.name), fd, record);
    context.Run(check);
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
    case FrameKind::Calls:
        AddCalls(result, frame.text);
        break;
    case FrameKind::CallStarted:
    case FrameKind::CallReturned:
        AddCallRecord(result, frame.kind == FrameKind::CallStarted, frame.text);
        break;
    }
}

// Tells when the child has ended without reaping it, so its process group
// keeps its number until it is killed. A pidfd wakes poll at the child's end;
// without one (an old kernel) poll wakes every 50 ms to look.
class ChildWatch {
public:
    explicit ChildWatch(pid_t child) : m_child(child), m_fd(static_cast<int>(syscall(SYS_pidfd_open, child, 0))) {}
    ~ChildWatch()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ChildWatch(const ChildWatch&) = delete;
    ChildWatch& operator=(const ChildWatch&) = delete;

    int Fd() const { return m_fd; }
    bool Exited() const
    {
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(m_child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == m_child;
    }

private:
    pid_t m_child;
    int m_fd;
};

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
    // Under memcheck or sanitizers the child becomes a fresh process.
    const auto fresh = FreshChild::ForThisRun(check.name, options, fds[1]);
    const auto started = Clock::now();
    const pid_t parent = getpid();
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
        ChildMain(check, options, fds[1], &record.Get(), parent, fresh.get());
    }
    // Set on both sides, so the group exists whichever runs first.
    setpgid(child, child);
    const StopGroupOnSignal stopOnSignal(child);
    close(fds[1]);

    const ChildWatch watch(child);
    FrameReader reader;
    bool done = false;
    bool timedOut = false;
    bool exited = false;
    const auto deadline = started + std::chrono::duration<double>(check.timeoutSeconds);
    const auto readFrames = [&]() -> bool {
        char bytes[4096];
        const ssize_t n = read(fds[0], bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            return true;
        if (n <= 0)
            return false;  // every writer closed its end, or nothing is left
        reader.Append(bytes, static_cast<std::size_t>(n));
        for (const Frame& frame : reader.Take())
            AddFrame(result, frame, done);
        return true;
    };
    bool pipeOpen = true;
    while (!exited) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        // The child's end is watched as well as the pipe: a process the
        // component started may hold the pipe long after the child is gone.
        pollfd waits[2] = {{pipeOpen ? fds[0] : -1, POLLIN, 0}, {watch.Fd(), POLLIN, 0}};
        const int limit = watch.Fd() < 0 ? 50 : 1000;
        const int ready = poll(waits, 2, static_cast<int>(std::min<long long>(left, limit)));
        if (ready < 0 && errno != EINTR)
            break;
        if (pipeOpen && ready > 0 && (waits[0].revents & (POLLIN | POLLHUP)))
            pipeOpen = readFrames();
        exited = watch.Exited();
    }
    // Whatever the check started goes with it, at its end or on time-out; the
    // child, a zombie or not, still holds the group's number.
    if (kill(-child, SIGKILL) != 0)
        kill(child, SIGKILL);
    if (exited) {
        // What the child wrote before it ended is all in the pipe now; take
        // it without waiting for writers that outlive it, and no more than a
        // child could have left there.
        fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
        for (int reads = 0; pipeOpen && reads < kMostReadsAfterExit; ++reads)
            pipeOpen = readFrames();
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (fresh)
        fresh->AddFindings(result, record.Get(), options.componentPath);

    if (done && !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        // Only a failing check's bundle holds its calls; a run keeps every
        // result to its end, so a passing check's record goes now.
        if (result.verdict != Verdict::Fail)
            std::vector<RecordedCall>().swap(result.records);
        return result;
    }
    result.verdict = Verdict::Fail;
    std::string text =
        timedOut ? "did not finish within " + std::to_string(static_cast<int>(check.timeoutSeconds)) + " s (stopped)"
                 : DeathText(status, record);
    if (const std::string call = record.LastCall(); !call.empty()) {
        text += "; last call started: " + call;
        if (CallRecording())
            AddUnreturnedCall(result, call);
    }
    // A fault at a guard page is an access outside the buffer given; any other
    // death or a hang is a call that did not return.
    const FaultPlace place = record.Get().faultPlace;
    const bool atGuard = !timedOut && (place == FaultPlace::PastEnd || place == FaultPlace::BeforeStart);
    result.messages.push_back(RuleTag(*FindRule(atGuard ? "memory.within-buffers" : "call.returns")) + text);
    return result;
}

}  // namespace checks::runner
