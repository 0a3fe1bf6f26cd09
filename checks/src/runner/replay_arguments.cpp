#include "runner/replay_arguments.h"

#include "runner/call_answers.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace checks::runner {

std::uint64_t RecordedNumber(const JsonValue* value)
{
    return value && value->kind == JsonValue::Kind::Number && value->number > 0
               ? static_cast<std::uint64_t>(value->number)
               : 0;
}

InputBuffer::InputBuffer(const JsonValue* value, bool terminated)
{
    const auto bytes = RecordedBytes(value);
    if (!bytes)
        return;
    m_buffer = std::make_unique<GuardedBuffer>(bytes->size() + (terminated ? 1 : 0), GuardedBuffer::Use::Input);
    std::memcpy(m_buffer->Bytes(), bytes->data(), bytes->size());
    if (terminated)
        m_buffer->Bytes()[bytes->size()] = 0;
}

OutputBuffer::OutputBuffer(const JsonValue* value)
{
    // No check offers an output buffer anywhere near this; a bundle that
    // says so is damaged, and mapping and filling what it asks for could
    // take the machine's memory.
    constexpr std::uint64_t kMostCapacity = 64u << 20;
    if (const JsonValue* capacity = value ? value->Field("capacity") : nullptr) {
        const std::uint64_t bytes = RecordedNumber(capacity);
        if (bytes > kMostCapacity)
            throw std::length_error("the bundle asks for an output buffer of " + std::to_string(bytes) +
                                    " bytes; no check offers more than 64 MiB");
        m_buffer = std::make_unique<GuardedBuffer>(bytes, GuardedBuffer::Use::Output);
    }
}

CountArgument::CountArgument(const JsonValue* value)
    : m_null(!value || value->kind != JsonValue::Kind::Number),
      m_value(static_cast<std::uint32_t>(RecordedNumber(value)))
{
}

}  // namespace checks::runner
