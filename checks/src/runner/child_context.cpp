#include "runner/child_context.h"

#include "runner/report_frames.h"

#include <algorithm>
#include <cstring>

namespace checks::runner {

ChildContext::ChildContext(const SuiteOptions& options, std::uint64_t seed, int fd, ChildRecord* record)
    : m_options(options), m_seed(seed), m_fd(fd), m_record(record)
{
}

void ChildContext::Calling(std::string_view call)
{
    std::lock_guard lock(m_mutex);
    const std::size_t length = std::min(call.size(), sizeof m_record->call);
    m_record->callLength = 0;
    std::memcpy(m_record->call, call.data(), length);
    m_record->callLength = static_cast<std::uint32_t>(length);
}

void ChildContext::Send(char kind, const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (kind == static_cast<char>(FrameKind::Fail))
        m_failed = true;
    WriteFrame(m_fd, static_cast<FrameKind>(kind), text);
}

void ChildContext::Fail(std::string message)
{
    Send(static_cast<char>(FrameKind::Fail), message);
}

void ChildContext::Choice(std::string message)
{
    if (m_options.level == Level::Thorough)
        Send(static_cast<char>(FrameKind::Fail), message);
    else
        Send(static_cast<char>(FrameKind::Note), message);
}

void ChildContext::Note(std::string message)
{
    Send(static_cast<char>(FrameKind::Note), message);
}

void ChildContext::Skip(std::string reason)
{
    Send(static_cast<char>(FrameKind::Skip), reason);
}

void ChildContext::NotImplemented(std::string_view call)
{
    const std::string text = "not implemented yet: " + std::string(call);
    if (m_options.level == Level::Quick)
        Send(static_cast<char>(FrameKind::Skip), text);
    else
        Send(static_cast<char>(FrameKind::Fail), text);
}

bool ChildContext::Failed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

void ChildContext::Done()
{
    Send(static_cast<char>(FrameKind::Done), {});
}

}  // namespace checks::runner
