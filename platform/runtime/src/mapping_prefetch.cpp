#include "runtime/mapping_prefetch.h"

#include <algorithm>
#include <sys/mman.h>
#include <unistd.h>

MappingPrefetch::MappingPrefetch(const std::uint8_t* data, std::uint64_t size)
{
    // A mapping of one step or less is read as fast as it is populated.
    if (!data || size <= kStep)
        return;
    m_thread = std::thread(&MappingPrefetch::Run, this, reinterpret_cast<std::uintptr_t>(data), size);
}

MappingPrefetch::~MappingPrefetch()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void MappingPrefetch::Run(std::uintptr_t begin, std::uint64_t size)
{
    // The mapping starts on a page boundary; every step is a whole number of
    // pages but the last, which madvise rounds up within the mapping.
    std::uint64_t done = 0;
    while (done < size && !m_stop.load(std::memory_order_relaxed)) {
        const std::uint64_t length = std::min(kStep, size - done);
        // Populating a range past the end of a truncated file fails with
        // EFAULT instead of raising SIGBUS, so this thread never faults.
        if (::madvise(reinterpret_cast<void*>(begin + done), length, MADV_POPULATE_READ) != 0)
            return;
        done += length;
        m_populated.store(done);
    }
}
