#include "runtime/sigbus_guard.h"

#include "runtime/signal_fallback.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// What the handler may look at. Lock-free atomics are safe to read in a
// signal handler; the guard writes them before installing the handler and
// clears them after removing it.
std::atomic<std::uintptr_t> g_begin{0};
std::atomic<std::uintptr_t> g_end{0};
std::atomic<bool> g_tripped{false};
std::atomic<bool> g_active{false};
struct sigaction g_previous {};

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

void OnSigbus(int signo, siginfo_t* info, void* context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    const std::uintptr_t begin = g_begin.load();
    const std::uintptr_t end = g_end.load();
    // Only a real access fault (not a signal sent by kill or raise) inside
    // the guarded mapping is ours to answer.
    if (info->si_code > 0 && address >= begin && address < end) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const std::uintptr_t from = address & ~(page - 1);
        void* zeros =
            mmap(reinterpret_cast<void*>(from), end - from, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (zeros != MAP_FAILED) {
            g_tripped.store(true);
            return;  // the faulting read runs again and finds zeros
        }
    }
    // Not ours: hand the fault to whoever had it before. Returning re-runs the
    // faulting instruction, which then meets the previous disposition.
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) {
            g_previous.sa_sigaction(signo, info, context);
            return;
        }
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signo);
        return;
    }
    FallBackToDefaultAction(SIGBUS, info);
}

}  // namespace

SigbusGuard::SigbusGuard(const void* base, std::size_t length)
{
    if (g_active.exchange(true))
        std::abort();  // one guard at a time, see the header
    const auto begin = reinterpret_cast<std::uintptr_t>(base);
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    // The last page of the mapping is only partly the file's; the whole page
    // belongs to the mapping, so the range ends at a page boundary.
    const std::uintptr_t end = begin + ((length + page - 1) & ~(page - 1));
    g_begin.store(begin);
    g_end.store(end);
    g_tripped.store(false);

    // The handler must know the previous disposition before it can run.
    sigaction(SIGBUS, nullptr, &m_previous);
    g_previous = m_previous;
    struct sigaction action {};
    action.sa_sigaction = OnSigbus;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, nullptr);
}

SigbusGuard::~SigbusGuard()
{
    sigaction(SIGBUS, &m_previous, nullptr);
    g_begin.store(0);
    g_end.store(0);
    g_active.store(false);
}

bool SigbusGuard::Tripped() const
{
    return g_tripped.load();
}
