// Records one call on a fake object: arguments as they arrived, outputs as
// they left and the status returned. Holds the state's lock for the call.
#pragma once

#include "fake_state.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace fake {

// Words as lowercase 8-digit hex, least significant word first, joined by ','.
std::string FormatWords(const std::uint32_t* words, std::size_t count);
// Bytes as lowercase hex, two digits each, in memory order.
std::string FormatBytes(const std::uint8_t* bytes, std::size_t count);

class CallRecorder {
public:
    CallRecorder(ObjectBase& object, const char* method);
    ~CallRecorder();
    CallRecorder(const CallRecorder&) = delete;
    CallRecorder& operator=(const CallRecorder&) = delete;

    void Arg(const char* name, std::string value);
    void Arg(const char* name, std::uint64_t value) { Arg(name, std::to_string(value)); }
    void Out(const char* name, std::string value);
    void Out(const char* name, std::uint64_t value) { Out(name, std::to_string(value)); }

    // The status a switch injects into this call, if any.
    std::optional<HRESULT> Injected();
    std::optional<std::uint32_t> ReportedCount() const;
    bool WriteFiles() const { return m_state.writeFiles; }

    HRESULT Return(HRESULT hr)
    {
        m_call.result = hr;
        return hr;
    }

private:
    State& m_state;
    std::lock_guard<std::mutex> m_lock;
    bool m_observed;
    Call m_call;
};

}  // namespace fake
