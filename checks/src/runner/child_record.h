// What a check's child process leaves for its parent in a shared page: the
// last component call it started and, after a fault, where the fault hit.
// The parent reads it only once the child has stopped, so no lock is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace checks::runner {

enum class FaultPlace : std::uint32_t { None = 0, PastEnd = 1, BeforeStart = 2, Elsewhere = 3 };

struct ChildRecord {
    std::uint32_t callLength = 0;
    char call[240] = {};
    FaultPlace faultPlace = FaultPlace::None;
    std::uint32_t faultWasWrite = 0;  // 1 write, 0 read, 2 unknown
    std::uint64_t faultAddress = 0;
    // Bytes between the end (or start) of the buffer's capacity and the fault.
    std::uint64_t faultDistance = 0;
    std::uint64_t bufferBytes = 0;
};

// One page mapped MAP_SHARED before the fork, unmapped by the owner.
class SharedChildRecord {
public:
    // Throws std::bad_alloc when the page cannot be mapped.
    SharedChildRecord();

    ChildRecord& Get() const { return *m_record; }
    void Reset() const { *m_record = ChildRecord(); }
    std::string LastCall() const;

private:
    struct Unmap {
        void operator()(ChildRecord* record) const;
    };
    std::unique_ptr<ChildRecord, Unmap> m_record;
};

}  // namespace checks::runner
