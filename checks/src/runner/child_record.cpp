#include "runner/child_record.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace checks::runner {

SharedChildRecord::SharedChildRecord()
{
    void* page = mmap(nullptr, sizeof(ChildRecord), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED)
        throw std::bad_alloc();
    m_record.reset(new (page) ChildRecord());
}

void SharedChildRecord::Unmap::operator()(ChildRecord* record) const
{
    munmap(record, sizeof(ChildRecord));
}

std::string SharedChildRecord::LastCall() const
{
    const std::size_t length = std::min<std::size_t>(m_record->callLength, sizeof m_record->call);
    return std::string(m_record->call, length);
}

}  // namespace checks::runner
