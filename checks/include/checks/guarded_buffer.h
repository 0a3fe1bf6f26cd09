// A buffer handed to a component with PROT_NONE pages on both sides, so a
// read or write past what the call was allowed to touch is caught.
//
// Input buffers end exactly at the guard page: reading one byte past the
// stated count faults. Output buffers are followed by canary words of a
// non-zero pattern and then the guard page: a short overrun (a stray zero word
// is the commonest) changes a canary and is reported by the check; a long one
// faults. Inside a check's child process the runner reports such a fault as
// the check failing with "wrote past the capacity" / "read past the capacity".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace checks {

class GuardedBuffer {
public:
    enum class Use { Input, Output };

    // Output buffers start filled with kFillByte.
    static constexpr std::uint8_t kFillByte = 0xA7;
    static constexpr std::size_t kCanaryWords = 4;

    GuardedBuffer(std::size_t bytes, Use use);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    std::uint8_t* Bytes() const { return m_data; }
    char* Chars() const { return reinterpret_cast<char*>(m_data); }
    // Word access; output buffers and word-sized input buffers are 4-aligned.
    std::uint32_t* Words() const { return reinterpret_cast<std::uint32_t*>(m_data); }
    std::size_t Size() const { return m_bytes; }

    // Sets every byte of the buffer (not the canaries) to value.
    void Fill(std::uint8_t value);
    // True when no byte of the buffer differs from kFillByte.
    bool Untouched() const;
    // Output buffers: "" when every canary holds its pattern, otherwise which
    // word past the capacity changed and what it holds now.
    std::string CanaryDamage() const;

    // The pattern of canary word index (never 0).
    static std::uint32_t CanaryWord(std::size_t index);

private:
    std::uint8_t* m_mapping = nullptr;
    std::size_t m_mappingBytes = 0;
    std::uint8_t* m_data = nullptr;
    std::size_t m_bytes = 0;
    Use m_use;
    int m_slot = -1;
};

}  // namespace checks
