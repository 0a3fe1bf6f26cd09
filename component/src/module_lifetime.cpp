#include "module_lifetime.h"

#include <atomic>

namespace tarvel::component {
namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

ModuleReference::ModuleReference()
{
    g_objects.fetch_add(1, std::memory_order_relaxed);
}

ModuleReference::~ModuleReference()
{
    g_objects.fetch_sub(1, std::memory_order_acq_rel);
}

void LockModule()
{
    g_locks.fetch_add(1, std::memory_order_relaxed);
}

void UnlockModule()
{
    // A caller unlocking more often than it locked must not wrap the count
    // into "locked forever" nor let it go negative.
    long current = g_locks.load(std::memory_order_relaxed);
    while (current > 0 && !g_locks.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel)) {
    }
}

bool ModuleInUse()
{
    return g_objects.load(std::memory_order_acquire) > 0 || g_locks.load(std::memory_order_acquire) > 0;
}

}  // namespace tarvel::component
