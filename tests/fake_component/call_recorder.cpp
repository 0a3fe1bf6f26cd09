#include "call_recorder.h"

namespace fake {

namespace {

// Appends the lowest digits hex digits of value, most significant first.
void AppendHex(std::string& text, std::uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string FormatWords(const std::uint32_t* words, std::size_t count)
{
    if (!words)
        return "null";
    std::string text;
    text.reserve(count * 9);
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            text += ',';
        AppendHex(text, words[i], 8);
    }
    return text;
}

std::string FormatBytes(const std::uint8_t* bytes, std::size_t count)
{
    if (!bytes)
        return "null";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i)
        AppendHex(text, bytes[i], 2);
    return text;
}

CallRecorder::CallRecorder(ObjectBase& object, const char* method)
    : m_state(State::Instance()), m_lock(m_state.mutex), m_observed(!object.stale)
{
    m_call.object = object.serial;
    m_call.method = method;
    m_call.result = E_FAIL;  // stays so if the call ends in an exception
    if (m_observed && object.references == 0)
        ++m_state.callsAfterRelease;
}

CallRecorder::~CallRecorder()
{
    if (!m_observed)
        return;
    try {
        m_state.calls.push_back(std::move(m_call));
    } catch (...) {
        // Losing one record is better than letting an exception leave a
        // component call.
    }
}

void CallRecorder::Arg(const char* name, std::string value)
{
    m_call.args.push_back({name, std::move(value)});
}

void CallRecorder::Out(const char* name, std::string value)
{
    m_call.outs.push_back({name, std::move(value)});
}

std::optional<HRESULT> CallRecorder::Injected()
{
    if (!m_observed)
        return std::nullopt;
    return m_state.MethodFails(m_call.method, m_call.object);
}

std::optional<std::uint32_t> CallRecorder::ReportedCount() const
{
    if (!m_observed)
        return std::nullopt;
    return m_state.ReportedCount(m_call.method);
}

}  // namespace fake
