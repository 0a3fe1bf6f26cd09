#include "runner/child_context.h"

#include "rules/unused_slots.h"
#include "runner/report_frames.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace checks::runner {

ChildContext::ChildContext(const SuiteOptions& options, std::string_view checkName, std::uint64_t seed, int fd,
                           ChildRecord* record)
    : m_options(options), m_required(DefaultRule(checkName, RuleClass::Required)),
      m_recommended(DefaultRule(checkName, RuleClass::Recommended)), m_seed(seed), m_fd(fd), m_record(record),
      m_calls(fd), m_records(fd),
      m_recordsCalls(CallRecording() && UnrecordedReason(checkName.substr(0, checkName.find('.'))).empty())
{
    if (m_recordsCalls)
        m_calls.Defer();
}

CallRecorder* ChildContext::Recorder()
{
    return m_recordsCalls ? this : nullptr;
}

std::uint64_t ChildContext::Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                                    std::vector<CallValue> inputs)
{
    std::lock_guard lock(m_mutex);
    return m_records.Started(object, interfaceName, method, inputs, m_calls.TakeFrame());
}

void ChildContext::Returned(std::uint64_t call, HRESULT status, std::vector<CallValue> outputs)
{
    if (!call)
        return;
    std::lock_guard lock(m_mutex);
    m_records.Returned(call, status, outputs);
}

void ChildContext::Calling(std::string_view call)
{
    std::lock_guard lock(m_mutex);
    const std::size_t length = std::min(call.size(), sizeof m_record->call);
    m_record->callLength = 0;
    std::memcpy(m_record->call, call.data(), length);
    m_record->callLength = static_cast<std::uint32_t>(length);
    if (CallRecording())
        m_calls.Add(call);
}

void ChildContext::Send(char kind, const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (kind == static_cast<char>(FrameKind::Fail))
        m_failed = true;
    if (m_recordsCalls) {
        m_records.Flush();
        m_calls.Flush(false);
    }
    WriteFrame(m_fd, static_cast<FrameKind>(kind), text);
}

void ChildContext::Report(const Rule& rule, const std::string& message)
{
    const bool fails = rule.ruleClass == RuleClass::Required || m_options.level == Level::Thorough;
    Send(static_cast<char>(fails ? FrameKind::Fail : FrameKind::Note), RuleTag(rule) + message);
}

void ChildContext::Fail(std::string message)
{
    Report(*m_required, message);
}

void ChildContext::Choice(std::string message)
{
    Report(*m_recommended, message);
}

void ChildContext::Broke(std::string_view rule, std::string message)
{
    if (const Rule* known = FindRule(rule))
        Report(*known, message);
    else  // a check naming a rule the catalogue lacks is the checker's defect
        Report(*m_required, message + " (rule " + std::string(rule) + " is not in the catalogue)");
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
    if (IsUnusedSlotCall(call))
        Report(*FindRule("slots.unused-implemented"), text + " (no program calls it)");
    else if (m_options.level == Level::Quick)
        Send(static_cast<char>(FrameKind::Skip), text);
    else
        Report(*FindRule("slots.programs-call"), text);
}

bool ChildContext::Failed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

void ChildContext::Done()
{
    if (CallRecording()) {
        std::lock_guard lock(m_mutex);
        m_records.Flush();
        m_calls.Flush(true);
    }
    Send(static_cast<char>(FrameKind::Done), {});
}

void ChildContext::Run(const CheckDef& check)
{
    try {
        check.body(*this);
    } catch (const std::exception& error) {
        Fail(std::string("the check stopped on an exception: ") + error.what());
    } catch (...) {
        Fail("the check stopped on an exception");
    }
    Done();
}

}  // namespace checks::runner
