// Reading a fresh file mapping for the first time costs a page fault per
// page, paid by whoever reads it. A second thread that asks the kernel to
// populate the mapping a few megabytes ahead takes that cost off the reading
// thread, which then finds its pages ready: the one call that reads the whole
// mapping (a component's HashData) finishes sooner and is not changed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

class MappingPrefetch {
public:
    // Starts populating [data, data + size) from the start, in steps. The
    // mapping must outlive this object; the thread is joined when it goes.
    MappingPrefetch(const std::uint8_t* data, std::uint64_t size);
    ~MappingPrefetch();
    MappingPrefetch(const MappingPrefetch&) = delete;
    MappingPrefetch& operator=(const MappingPrefetch&) = delete;

    // Bytes populated so far, from the start; stops growing on the first
    // refusal (a file truncated under the mapping, a kernel without the
    // request), which is never reported: the reader's own guard and checks
    // decide what a truncation means.
    std::uint64_t Populated() const { return m_populated.load(); }

    static constexpr std::uint64_t kStep = 4u << 20;

private:
    void Run(std::uintptr_t begin, std::uint64_t size);

    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_populated{0};
    std::thread m_thread;
};
