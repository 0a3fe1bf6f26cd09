// The process groups of the checks running now, so that Ctrl-C or a kill of
// the runner takes every one of them along, however many run at once.
#pragma once

#include <signal.h>
#include <sys/types.h>

namespace checks::runner {

// While it lives, group is stopped (SIGKILL) when SIGINT, SIGTERM, SIGHUP or
// SIGQUIT ends the runner. Safe to use from several threads at once: the
// handlers are installed by the first and restored by the last.
class StopGroupOnSignal {
public:
    explicit StopGroupOnSignal(pid_t group);
    ~StopGroupOnSignal();
    StopGroupOnSignal(const StopGroupOnSignal&) = delete;
    StopGroupOnSignal& operator=(const StopGroupOnSignal&) = delete;

private:
    int m_slot;
};

// The signals that end the runner; a check's child restores their defaults.
inline constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

}  // namespace checks::runner
