#include "runner/call_record.h"

#include "runner/json_text.h"
#include "runner/report_frames.h"
#include "runner/utf8_text.h"

#include <common/hex_format.h>

#include <algorithm>

namespace checks::runner {
namespace {

OrderedJson Text(const std::string& bytes)
{
    // Text that is not UTF-8 goes as hex: a JSON string could not carry it
    // back byte for byte.
    if (ValidUtf8(bytes) == bytes)
        return bytes;
    return {{"hex", HexBytes(bytes.data(), bytes.size())}};
}

OrderedJson Value(const CallValue& value)
{
    switch (value.kind) {
    case CallValue::Kind::Null:
        return nullptr;
    case CallValue::Kind::Number:
        return value.number;
    case CallValue::Kind::Bytes:
        return {{"hex", HexBytes(value.bytes.data(), value.bytes.size())}};
    case CallValue::Kind::Text:
        return Text(value.bytes);
    case CallValue::Kind::Path:
        return {{"path", Text(value.bytes)}};
    case CallValue::Kind::Capacity:
        return {{"capacity", value.number}};
    case CallValue::Kind::Large: {
        OrderedJson large = {{"bytes", value.number}};
        if (!value.bytes.empty())
            large["sha256"] = HexBytes(value.bytes.data(), value.bytes.size());
        return large;
    }
    }
    return nullptr;
}

OrderedJson Values(const std::vector<CallValue>& values, std::size_t& bytes)
{
    OrderedJson object = OrderedJson::object();
    for (const CallValue& value : values) {
        object[value.name] = Value(value);
        bytes += value.bytes.size();
    }
    return object;
}

}  // namespace

std::string_view UnrecordedReason(std::string_view suite)
{
    if (suite == "timing")
        return "the timing suite's calls are not recorded: recording inside the timed region would change what it "
               "measures";
    if (suite == "memory")
        return "the memory suite's calls are not recorded: the proxies and the record use the heap it measures";
    if (suite == "load")
        return "the load suite's calls are not recorded: it checks the steps that make an object, which a proxy "
               "would stand between";
    return {};
}

std::uint64_t CallRecordSender::Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                                        const std::vector<CallValue>& inputs, const std::string& before)
{
    m_waiting += before;
    if (m_full) {
        Flush();
        return 0;
    }
    std::size_t bytes = 0;
    OrderedJson record = {{"call", m_calls + 1},
                          {"object", object},
                          {"interface", interfaceName},
                          {"method", method},
                          {"in", Values(inputs, bytes)}};
    if (m_calls + 1 > kMostRecordedCalls || m_bytes + bytes > kMostRecordedBytes) {
        // The record ends here, saying why; the check goes on unrecorded.
        m_full = true;
        record = {{"incomplete", "the check made more than " + std::to_string(kMostRecordedCalls) +
                                     " calls or passed more than " + std::to_string(kMostRecordedBytes >> 20) +
                                     " MiB; the record stops at call " + std::to_string(m_calls + 1)}};
        WriteFrameBytes(m_fd, m_waiting + EncodeFrame(FrameKind::CallStarted, record.dump()));
        m_waiting.clear();
        return 0;
    }
    m_bytes += bytes;
    ++m_calls;
    // The inputs go out now, before the call, with the answers waiting.
    WriteFrameBytes(m_fd, m_waiting + EncodeFrame(FrameKind::CallStarted,
                                                  record.dump(-1, ' ', false, OrderedJson::error_handler_t::replace)));
    m_waiting.clear();
    return m_calls;
}

void CallRecordSender::Returned(std::uint64_t call, HRESULT status, const std::vector<CallValue>& outputs)
{
    std::size_t bytes = 0;
    const OrderedJson record = {{"call", call}, {"status", StatusText(status)}, {"out", Values(outputs, bytes)}};
    m_bytes += bytes;
    m_waiting +=
        EncodeFrame(FrameKind::CallReturned, record.dump(-1, ' ', false, OrderedJson::error_handler_t::replace));
}

void CallRecordSender::Flush()
{
    if (!m_waiting.empty())
        WriteFrameBytes(m_fd, m_waiting);
    m_waiting.clear();
}

void AddCallRecord(CheckResult& result, bool started, const std::string& frameText)
{
    if (started) {
        if (frameText.rfind("{\"incomplete\":", 0) == 0) {
            const OrderedJson reason = OrderedJson::parse(frameText, nullptr, false);
            result.recordIncomplete = reason.is_object() ? reason.value("incomplete", "") : "incomplete";
        } else if (result.records.size() < kMostRecordedCalls) {
            result.records.push_back({frameText, {}});
        }
        return;
    }
    // The answer belongs to a call near the end: another thread's calls are
    // all that may have started since.
    // Both frames start {"call":N, as the child writes them.
    const std::size_t comma = frameText.find(',');
    if (frameText.rfind("{\"call\":", 0) != 0 || comma == std::string::npos)
        return;
    const std::string number = frameText.substr(0, comma + 1);
    const auto found = std::find_if(result.records.rbegin(), result.records.rend(),
                                    [&](const RecordedCall& call) { return call.started.rfind(number, 0) == 0; });
    if (found != result.records.rend())
        found->returned = frameText;
}

}  // namespace checks::runner
