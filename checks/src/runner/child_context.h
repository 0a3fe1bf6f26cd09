// The Context a check's body talks to inside its child process: every report
// goes straight into the pipe, and the call being started into the shared
// record, so both survive a crash a moment later.
#pragma once

#include "runner/call_log.h"
#include "runner/call_record.h"
#include "runner/child_record.h"

#include <checks/check.h>
#include <checks/rules.h>

#include <mutex>

namespace checks::runner {

class ChildContext final : public Context, private CallRecorder {
public:
    // checkName picks the rules a bare Fail or Choice rests on.
    ChildContext(const SuiteOptions& options, std::string_view checkName, std::uint64_t seed, int fd,
                 ChildRecord* record);

    const SuiteOptions& Options() const override { return m_options; }
    std::uint64_t Seed() const override { return m_seed; }
    void Calling(std::string_view call) override;
    void Fail(std::string message) override;
    void Choice(std::string message) override;
    void Broke(std::string_view rule, std::string message) override;
    void Note(std::string message) override;
    void Skip(std::string reason) override;
    void NotImplemented(std::string_view call) override;
    bool Failed() const override;
    CallRecorder* Recorder() override;

    // Tells the parent the body returned.
    void Done();
    // The check's body, an exception it lets out reported as its failure,
    // then Done.
    void Run(const CheckDef& check);

private:
    std::uint64_t Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                          std::vector<CallValue> inputs) override;
    void Returned(std::uint64_t call, HRESULT status, std::vector<CallValue> outputs) override;
    void Send(char kind, const std::string& text);
    void Report(const Rule& rule, const std::string& message);

    const SuiteOptions& m_options;
    const Rule* m_required;
    const Rule* m_recommended;
    std::uint64_t m_seed;
    int m_fd;
    ChildRecord* m_record;
    CallLog m_calls;
    CallRecordSender m_records;
    bool m_recordsCalls;
    mutable std::mutex m_mutex;
    bool m_failed = false;
};

}  // namespace checks::runner
