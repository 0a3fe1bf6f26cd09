#include "runner/check_scheduler.h"

#include "runner/call_log.h"
#include "runner/check_process.h"

#include <checks/rules.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>

namespace checks::runner {
namespace {

using Clock = std::chrono::steady_clock;

struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::size_t> queue;  // indices, next first
    std::size_t next = 0;
    std::vector<std::optional<CheckResult>> results;
    std::vector<std::optional<Clock::time_point>> started;
    std::vector<bool> alone;
    int running = 0;
};

void Work(Shared& shared, const std::vector<CheckDef>& checks, const SuiteOptions& options)
{
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(shared.mutex);
            if (shared.next == shared.queue.size())
                return;
            index = shared.queue[shared.next];
            // The checks to run alone are last in the queue: each waits until
            // nothing else runs, and while it runs the next one waits too.
            if (shared.alone[index] && shared.running > 0) {
                shared.changed.wait(lock, [&] { return shared.running == 0; });
                continue;  // another worker may have taken it meanwhile
            }
            ++shared.next;
            ++shared.running;
            shared.started[index] = Clock::now();
        }
        shared.changed.notify_all();
        CheckResult result = RunCheckInChild(checks[index], options);
        {
            const std::lock_guard lock(shared.mutex);
            shared.results[index] = std::move(result);
            --shared.running;
        }
        shared.changed.notify_all();
    }
}

// What is left, from the expected times, scaled by how the finished checks
// compared with theirs, spread over the workers.
double SecondsLeft(const Shared& shared, const std::vector<double>& expected, unsigned jobs, Clock::time_point now)
{
    double expectedDone = 0, tookDone = 0, left = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (shared.results[i]) {
            expectedDone += expected[i];
            tookDone += shared.results[i]->seconds;
        }
    }
    const double pace = expectedDone > 0.5 ? std::clamp(tookDone / expectedDone, 0.25, 4.0) : 1.0;
    double longestRunning = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (shared.results[i])
            continue;
        double remaining = expected[i] * pace;
        if (shared.started[i]) {
            remaining = std::max(0.0, remaining - std::chrono::duration<double>(now - *shared.started[i]).count());
            longestRunning = std::max(longestRunning, remaining);
        }
        left += remaining;
    }
    return std::max(longestRunning, left / jobs);
}

}  // namespace

std::vector<CheckResult> RunChecks(const std::vector<CheckDef>& checks, const std::vector<CheckPlan>& plans,
                                   const SuiteOptions& options, unsigned jobs, const ScheduleCallbacks& callbacks)
{
    std::vector<double> expectedSeconds;
    for (const CheckPlan& plan : plans)
        expectedSeconds.push_back(plan.expectedSeconds);
    jobs = std::max(1u, std::min<unsigned>(jobs, static_cast<unsigned>(std::max<std::size_t>(1, checks.size()))));
    Shared shared;
    shared.results.resize(checks.size());
    shared.started.resize(checks.size());
    shared.queue.resize(checks.size());
    std::iota(shared.queue.begin(), shared.queue.end(), 0);
    for (const CheckPlan& plan : plans)
        shared.alone.push_back(plan.alone);
    // Longest first, so the last check to start is a short one and no worker
    // idles while another finishes a long check it took late; those to run
    // alone after all the others.
    if (jobs > 1)
        std::stable_sort(shared.queue.begin(), shared.queue.end(), [&](std::size_t a, std::size_t b) {
            if (plans[a].alone != plans[b].alone)
                return plans[b].alone;
            return !plans[a].alone && expectedSeconds[a] > expectedSeconds[b];
        });

    // A child forked while another thread is making a function-local static
    // would wait forever for that static's guard, which it inherits held.
    // The statics a worker makes (the rule of a dead child's failure, the
    // recording flag) are made here, before any worker starts.
    (void)AllRules();
    (void)CallRecording();
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < jobs; ++i)
        workers.emplace_back(Work, std::ref(shared), std::cref(checks), std::cref(options));

    std::vector<CheckResult> ordered;
    ordered.reserve(checks.size());
    std::unique_lock lock(shared.mutex);
    while (ordered.size() < checks.size()) {
        // Hand out, in order, whatever is ready; without the lock, so the
        // callbacks may print at their pace while the workers go on.
        while (ordered.size() < checks.size() && shared.results[ordered.size()]) {
            CheckResult result = std::move(*shared.results[ordered.size()]);
            // Its time stays for the estimate of what is left.
            CheckResult handedOut;
            handedOut.seconds = result.seconds;
            shared.results[ordered.size()] = std::move(handedOut);
            lock.unlock();
            if (callbacks.finished)
                callbacks.finished(ordered.size(), result);
            ordered.push_back(std::move(result));
            lock.lock();
        }
        if (ordered.size() == checks.size())
            break;
        if (callbacks.progress) {
            ScheduleProgress progress;
            progress.total = checks.size();
            for (std::size_t i = 0; i < checks.size(); ++i) {
                progress.done += shared.results[i].has_value();
                if (shared.started[i] && !shared.results[i])
                    progress.running.push_back(checks[i].name);
            }
            progress.secondsLeft = SecondsLeft(shared, expectedSeconds, jobs, Clock::now());
            lock.unlock();
            callbacks.progress(progress);
            lock.lock();
        }
        shared.changed.wait_for(lock, std::chrono::milliseconds(250));
    }
    lock.unlock();
    for (std::thread& worker : workers)
        worker.join();
    return ordered;
}

}  // namespace checks::runner
