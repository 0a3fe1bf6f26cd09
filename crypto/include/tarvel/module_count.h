// What keeps a component library in use, for DllCanUnloadNow: the objects it
// made that are still alive and the server locks its callers hold. A
// component keeps one count for the whole library; each of its objects holds
// a ModuleCount::Use for as long as it exists.
//
//     constinit tarvel::ModuleCount g_module;
//     HRESULT DllCanUnloadNow() { return g_module.InUse() ? S_FALSE : S_OK; }
#pragma once

#include <atomic>

namespace tarvel {

class ModuleCount {
public:
    constexpr ModuleCount() = default;
    ModuleCount(const ModuleCount&) = delete;
    ModuleCount& operator=(const ModuleCount&) = delete;

    // Counts one live object from its construction to its destruction.
    class Use {
    public:
        explicit Use(ModuleCount& count) : m_count(count) { m_count.m_objects.fetch_add(1, std::memory_order_relaxed); }
        ~Use() { m_count.m_objects.fetch_sub(1, std::memory_order_acq_rel); }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        ModuleCount& m_count;
    };

    // IClassFactory::LockServer(TRUE) and (FALSE).
    void Lock() { m_locks.fetch_add(1, std::memory_order_relaxed); }
    void Unlock()
    {
        // A caller unlocking more often than it locked must not wrap the
        // count into "locked forever" nor let it go negative.
        long current = m_locks.load(std::memory_order_relaxed);
        while (current > 0 && !m_locks.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel)) {
        }
    }

    bool InUse() const
    {
        return m_objects.load(std::memory_order_acquire) > 0 || m_locks.load(std::memory_order_acquire) > 0;
    }

private:
    std::atomic<long> m_objects{0};
    std::atomic<long> m_locks{0};
};

}  // namespace tarvel
