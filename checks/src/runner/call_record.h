// Every component call a check makes, with its arguments, status and output
// buffers (--artifacts): the child sends each call's inputs before the call
// and its answers after it, so a crash or a hang keeps the inputs of the call
// that did not return; the parent keeps them in order for the bundle.
#pragma once

#include "runner/check_result.h"

#include <checks/check.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace checks::runner {

// A check keeps at most this many calls, or this many recorded bytes; the
// record then says it is incomplete.
inline constexpr std::size_t kMostRecordedCalls = 100000;
inline constexpr std::size_t kMostRecordedBytes = 16u << 20;

// Why the checks of suite keep no record of their calls ("" when they do).
std::string_view UnrecordedReason(std::string_view suite);

// The child's side. Not thread-safe: its owner (ChildContext) locks.
class CallRecordSender {
public:
    explicit CallRecordSender(int fd) : m_fd(fd) {}
    // before: encoded frames to go out in the same write, ahead of it.
    std::uint64_t Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                          const std::vector<CallValue>& inputs, const std::string& before);
    // A call's answers wait for the next frame of the child, which carries
    // them in the same write: one write a call rather than two.
    void Returned(std::uint64_t call, HRESULT status, const std::vector<CallValue>& outputs);
    // Sends answers still waiting; before any other frame and at the end.
    void Flush();

private:
    int m_fd;
    std::string m_waiting;  // encoded CallReturned frames
    std::uint64_t m_calls = 0;
    std::size_t m_bytes = 0;
    bool m_full = false;
};

// The parent's side: a CallStarted or CallReturned frame onto result.
void AddCallRecord(CheckResult& result, bool started, const std::string& frameText);

}  // namespace checks::runner
