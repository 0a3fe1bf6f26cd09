#include <checks/guarded_buffer.h>

#include "runner/fault_trap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace checks {
namespace {

std::size_t PageSize()
{
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return page;
}

std::size_t RoundUp(std::size_t bytes, std::size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

}  // namespace

std::uint32_t GuardedBuffer::CanaryWord(std::size_t index)
{
    return 0x5AC3E1F7u ^ static_cast<std::uint32_t>(index * 0x01010101u);
}

GuardedBuffer::GuardedBuffer(std::size_t bytes, Use use) : m_bytes(bytes), m_use(use)
{
    const std::size_t page = PageSize();
    const std::size_t tail = use == Use::Output ? kCanaryWords * sizeof(std::uint32_t) : 0;
    const std::size_t inner = RoundUp(bytes + tail, page);
    m_mappingBytes = inner + 2 * page;
    void* mapping = mmap(nullptr, m_mappingBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        throw std::bad_alloc();
    m_mapping = static_cast<std::uint8_t*>(mapping);
    std::uint8_t* lowGuard = m_mapping;
    std::uint8_t* highGuard = m_mapping + page + inner;
    mprotect(lowGuard, page, PROT_NONE);
    mprotect(highGuard, page, PROT_NONE);
    // Against the high guard; word buffers stay 4-aligned because the tail
    // and word-sized inputs are whole words.
    m_data = highGuard - tail - bytes;
    if (use == Use::Output) {
        std::memset(m_data, kFillByte, bytes);
        for (std::size_t i = 0; i < kCanaryWords; ++i) {
            const std::uint32_t word = CanaryWord(i);
            std::memcpy(m_data + bytes + 4 * i, &word, sizeof word);
        }
    }
    m_slot = runner::RegisterGuards(m_data, bytes, lowGuard, highGuard, page);
}

GuardedBuffer::~GuardedBuffer()
{
    runner::UnregisterGuards(m_slot);
    munmap(m_mapping, m_mappingBytes);
}

void GuardedBuffer::Fill(std::uint8_t value)
{
    std::memset(m_data, value, m_bytes);
}

bool GuardedBuffer::Untouched() const
{
    for (std::size_t i = 0; i < m_bytes; ++i)
        if (m_data[i] != kFillByte)
            return false;
    return true;
}

std::string GuardedBuffer::CanaryDamage() const
{
    if (m_use != Use::Output)
        return {};
    for (std::size_t i = 0; i < kCanaryWords; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, m_data + m_bytes + 4 * i, sizeof word);
        if (word != CanaryWord(i)) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "wrote past the capacity: bytes %zu-%zu after the %zu-byte buffer hold %08x instead of %08x",
                          4 * i, 4 * i + 3, m_bytes, word, CanaryWord(i));
            return text;
        }
    }
    return {};
}

}  // namespace checks
