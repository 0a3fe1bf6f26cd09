#include "runner/call_log.h"

#include "runner/report_frames.h"

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <ranges>
#include <string_view>

namespace checks::runner {
namespace {

std::atomic<bool> g_recording{false};

constexpr std::string_view kTimes = " \u00d7";

std::string Entry(const std::string& call, std::size_t count)
{
    return count == 1 ? call : call + std::string(kTimes) + std::to_string(count);
}

}  // namespace

void SetCallRecording(bool on)
{
    g_recording = on;
    // Also for a check's child that is a new program (one exec'd under a
    // memory checker), which inherits the environment but not this flag.
    if (on)
        setenv(kCallRecordingVariable, "1", 1);
    else
        unsetenv(kCallRecordingVariable);
}

bool CallRecording()
{
    static const bool inherited = [] {
        const char* value = std::getenv(kCallRecordingVariable);
        return value && std::string_view(value) == "1";
    }();
    return g_recording || inherited;
}

void CallLog::Add(std::string_view call)
{
    if (m_count && call == m_last) {
        ++m_count;
        return;
    }
    // Each finished run goes to the parent at once, so a crash loses only the
    // run of the call that did not return, which the shared record names.
    Close();
    if (!m_deferred)
        Flush(false);
    m_last.assign(call);
    m_count = 1;
}

void CallLog::Close()
{
    if (!m_count)
        return;
    m_pending += m_last + "\t" + std::to_string(m_count) + "\n";
    m_count = 0;
}

void CallLog::Flush(bool final)
{
    if (final)
        Close();
    if (!m_pending.empty())
        WriteFrame(m_fd, FrameKind::Calls, m_pending);
    m_pending.clear();
}

std::string CallLog::TakeFrame()
{
    std::string frame = m_pending.empty() ? std::string() : EncodeFrame(FrameKind::Calls, m_pending);
    m_pending.clear();
    return frame;
}

void AddUnreturnedCall(CheckResult& result, const std::string& call)
{
    if (!call.empty() && result.calls.size() < kMostCalls)
        result.calls.push_back(call + kUnreturned);
}

std::pair<std::string, std::size_t> SplitCall(const std::string& entry)
{
    const std::size_t at = entry.rfind(kTimes);
    std::size_t count = 0;
    if (at != std::string::npos) {
        const char* first = entry.data() + at + kTimes.size();
        const char* last = entry.data() + entry.size();
        if (std::from_chars(first, last, count).ptr == last && count > 0)
            return {entry.substr(0, at), count};
    }
    return {entry, 1};
}

void AddCalls(CheckResult& result, const std::string& frameText)
{
    for (const auto piece : std::views::split(frameText, '\n')) {
        const std::string line(piece.begin(), piece.end());
        const std::size_t tab = line.rfind('\t');
        if (tab == std::string::npos)
            continue;
        std::size_t count = 0;
        std::from_chars(line.data() + tab + 1, line.data() + line.size(), count);
        const std::string call = line.substr(0, tab);
        // A run cut by a frame's end goes on in the next.
        if (!result.calls.empty()) {
            auto [last, lastCount] = SplitCall(result.calls.back());
            if (last == call) {
                result.calls.back() = Entry(call, lastCount + count);
                continue;
            }
        }
        if (result.calls.size() < kMostCalls)
            result.calls.push_back(Entry(call, count ? count : 1));
    }
}

}  // namespace checks::runner
