#include "runner/fault_trap.h"

#include <runtime/signal_fallback.h>

#include <signal.h>
#include <ucontext.h>

#include <atomic>
#include <cstring>

namespace checks::runner {
namespace {

struct GuardEntry {
    std::atomic<bool> inUse{false};
    std::uintptr_t begin = 0;
    std::size_t bytes = 0;
    std::uintptr_t lowGuard = 0;
    std::uintptr_t highGuard = 0;
    std::size_t page = 0;
};

constexpr int kGuardSlots = 512;
GuardEntry g_guards[kGuardSlots];
std::atomic<bool> g_claim[kGuardSlots];
ChildRecord* g_record = nullptr;

// The x86-64 page-fault error code says whether the access was a write.
std::uint32_t WasWrite(void* context)
{
#if defined(__x86_64__) && defined(REG_ERR)
    const auto* uc = static_cast<const ucontext_t*>(context);
    return (uc->uc_mcontext.gregs[REG_ERR] & 2) ? 1 : 0;
#else
    (void)context;
    return 2;
#endif
}

void OnFault(int signal, siginfo_t* info, void* context)
{
    if (g_record) {
        const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
        g_record->faultAddress = address;
        g_record->faultWasWrite = WasWrite(context);
        g_record->faultPlace = FaultPlace::Elsewhere;
        for (const GuardEntry& entry : g_guards) {
            if (!entry.inUse.load(std::memory_order_acquire))
                continue;
            if (address >= entry.highGuard && address < entry.highGuard + entry.page) {
                g_record->faultPlace = FaultPlace::PastEnd;
                g_record->faultDistance = address - (entry.begin + entry.bytes);
                g_record->bufferBytes = entry.bytes;
                break;
            }
            if (address >= entry.lowGuard && address < entry.lowGuard + entry.page) {
                g_record->faultPlace = FaultPlace::BeforeStart;
                g_record->faultDistance = entry.begin - address;
                g_record->bufferBytes = entry.bytes;
                break;
            }
        }
    }
    // The process ends with the original signal, as without the trap.
    FallBackToDefaultAction(signal, info);
}

}  // namespace

void InstallFaultTrap(ChildRecord* record)
{
    g_record = record;
    // A stack overflow in the component must still reach the handler.
    static char alternateStack[64 * 1024];
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = &OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, nullptr);
    sigaction(SIGBUS, &action, nullptr);
}

int RegisterGuards(const std::uint8_t* begin, std::size_t bytes, const std::uint8_t* lowGuard,
                   const std::uint8_t* highGuard, std::size_t page)
{
    for (int slot = 0; slot < kGuardSlots; ++slot) {
        bool expected = false;
        if (!g_claim[slot].compare_exchange_strong(expected, true))
            continue;
        GuardEntry& entry = g_guards[slot];
        entry.begin = reinterpret_cast<std::uintptr_t>(begin);
        entry.bytes = bytes;
        entry.lowGuard = reinterpret_cast<std::uintptr_t>(lowGuard);
        entry.highGuard = reinterpret_cast<std::uintptr_t>(highGuard);
        entry.page = page;
        entry.inUse.store(true, std::memory_order_release);
        return slot;
    }
    return -1;
}

void UnregisterGuards(int slot)
{
    if (slot < 0 || slot >= kGuardSlots)
        return;
    g_guards[slot].inUse.store(false, std::memory_order_release);
    g_claim[slot].store(false);
}

}  // namespace checks::runner
