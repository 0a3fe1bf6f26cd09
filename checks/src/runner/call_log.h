// The component calls a check names (Context::Calling), recorded for replay
// bundles: in the child, a run of one call is kept as one entry with its
// count, sent to the parent as soon as another call starts; the parent keeps
// them in order.
// Recording is off unless the run writes artifacts.
#pragma once

#include "runner/check_result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace checks::runner {

// Set once before any check starts; every child inherits it, a forked one
// as a flag, an exec'd one through the environment variable below.
inline constexpr const char* kCallRecordingVariable = "TARVEL_CHECK_RECORD_CALLS";
void SetCallRecording(bool on);
bool CallRecording();

// The child's side. Not thread-safe: its owner (ChildContext) locks.
class CallLog {
public:
    explicit CallLog(int fd) : m_fd(fd) {}
    void Add(std::string_view call);
    // Sends what is pending; the last call's run is sent only when final.
    void Flush(bool final);
    // From now on finished runs wait to be taken (TakeFrame) or flushed,
    // for a child that records every call and sends them with its next
    // call's inputs (call_record.h): one write a call.
    void Defer() { m_deferred = true; }
    // The encoded Calls frame of the finished runs waiting; "" when none.
    std::string TakeFrame();

private:
    void Close();

    int m_fd;
    std::string m_last;
    std::size_t m_count = 0;
    std::string m_pending;  // "NAME\tCOUNT\n" lines
    bool m_deferred = false;
};

// The parent's side: the lines of one Calls frame onto result.calls ("NAME"
// or "NAME ×COUNT"), a run split across two frames joined again, and at most
// kMostCalls entries kept.
inline constexpr std::size_t kMostCalls = 100000;
void AddCalls(CheckResult& result, const std::string& frameText);

// After a child died or hung: the call it had started, which the log could
// not send, as "NAME (did not return)".
inline constexpr const char* kUnreturned = " (did not return)";
void AddUnreturnedCall(CheckResult& result, const std::string& call);

// The entry's call name and count: "NAME ×3" gives NAME and 3.
std::pair<std::string, std::size_t> SplitCall(const std::string& entry);

}  // namespace checks::runner
