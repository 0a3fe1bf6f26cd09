// The arguments of a recorded call as the replay passes them: input buffers
// holding exactly the recorded bytes against a guard page, output buffers of
// the recorded capacity (guarded, canaries after them), counts behind
// pointers, and null where the record has null.
#pragma once

#include "runner/json_reader.h"

#include <checks/guarded_buffer.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace checks::runner {

// A recorded count; 0 for anything that is no positive number.
std::uint64_t RecordedNumber(const JsonValue* value);

// An input buffer holding exactly the recorded bytes, ending at a guard page.
class InputBuffer {
public:
    // terminated: a NUL after the bytes (a C text).
    explicit InputBuffer(const JsonValue* value, bool terminated = false);
    std::uint32_t* Words() const { return m_buffer ? m_buffer->Words() : nullptr; }
    std::uint8_t* Bytes() const { return m_buffer ? m_buffer->Bytes() : nullptr; }
    char* Chars() const { return m_buffer ? m_buffer->Chars() : nullptr; }

private:
    std::unique_ptr<GuardedBuffer> m_buffer;
};

// An output buffer of the recorded capacity; none where the record has null.
class OutputBuffer {
public:
    explicit OutputBuffer(const JsonValue* value);
    std::uint32_t* Words() const { return m_buffer ? m_buffer->Words() : nullptr; }
    std::uint8_t* Bytes() const { return m_buffer ? m_buffer->Bytes() : nullptr; }
    char* Chars() const { return m_buffer ? m_buffer->Chars() : nullptr; }
    std::size_t Size() const { return m_buffer ? m_buffer->Size() : 0; }

private:
    std::unique_ptr<GuardedBuffer> m_buffer;
};

// A count behind a pointer: the recorded value, or a null pointer.
class CountArgument {
public:
    explicit CountArgument(const JsonValue* value);
    std::uint32_t* Get() { return m_null ? nullptr : &m_value; }

private:
    bool m_null;
    std::uint32_t m_value;
};

}  // namespace checks::runner
