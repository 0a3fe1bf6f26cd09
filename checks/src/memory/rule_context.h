// A check's context whose bare failures rest on one named rule: the memory
// checks drive the component through the suites' helpers, whose failed calls
// break call.status, not the rule the check is about. With no rule they are
// notes: a check that only counts threads leaves wrong calls to the others.
#pragma once

#include <checks/check.h>

#include <string>

namespace checks::memory {

class RuleContext final : public Context {
public:
    RuleContext(Context& inner, std::string rule) : m_inner(inner), m_rule(std::move(rule)) {}

    const SuiteOptions& Options() const override { return m_inner.Options(); }
    std::uint64_t Seed() const override { return m_inner.Seed(); }
    void Calling(std::string_view call) override { m_inner.Calling(call); }
    void Fail(std::string message) override
    {
        if (m_rule.empty())
            m_inner.Note("left to the other checks: " + message);
        else
            m_inner.Broke(m_rule, std::move(message));
    }
    void Choice(std::string message) override { m_inner.Choice(std::move(message)); }
    void Broke(std::string_view rule, std::string message) override { m_inner.Broke(rule, std::move(message)); }
    void Note(std::string message) override { m_inner.Note(std::move(message)); }
    void Skip(std::string reason) override { m_inner.Skip(std::move(reason)); }
    void NotImplemented(std::string_view call) override { m_inner.NotImplemented(call); }
    bool Failed() const override { return m_inner.Failed(); }
    CallRecorder* Recorder() override { return m_inner.Recorder(); }

private:
    Context& m_inner;
    std::string m_rule;
};

}  // namespace checks::memory
