#include "runner/running_groups.h"

#include <signal.h>

#include <atomic>
#include <iterator>
#include <mutex>

namespace checks::runner {
namespace {

// More slots than --jobs allows; a check that finds none still runs, it is
// only not stopped by a signal to the runner (its death signal still is).
constexpr int kSlots = 512;
std::atomic<pid_t> g_groups[kSlots];
static_assert(std::atomic<pid_t>::is_always_lock_free, "read in a signal handler");

std::mutex g_mutex;
int g_users = 0;
struct sigaction g_previous[std::size(kEndingSignals)];

void StopGroupsAndDie(int signal)
{
    for (std::atomic<pid_t>& slot : g_groups)
        if (const pid_t group = slot.load(); group > 0)
            kill(-group, SIGKILL);
    ::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

StopGroupOnSignal::StopGroupOnSignal(pid_t group) : m_slot(-1)
{
    const std::lock_guard lock(g_mutex);
    for (int i = 0; i < kSlots && m_slot < 0; ++i)
        if (g_groups[i].load() == 0) {
            g_groups[i].store(group);
            m_slot = i;
        }
    if (g_users++ == 0) {
        struct sigaction action {};
        action.sa_handler = &StopGroupsAndDie;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &action, &g_previous[i]);
    }
}

StopGroupOnSignal::~StopGroupOnSignal()
{
    const std::lock_guard lock(g_mutex);
    if (--g_users == 0)
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &g_previous[i], nullptr);
    if (m_slot >= 0)
        g_groups[m_slot].store(0);
}

}  // namespace checks::runner
