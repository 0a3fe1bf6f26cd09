// A check's Context that keeps what the body said, for calling the checks'
// helpers directly: every failure, skip and note in the order told.
#pragma once

#include <checks/check.h>

#include <string>
#include <vector>

class RecordingContext final : public checks::Context {
public:
    checks::SuiteOptions options;
    std::vector<std::string> failures, skips, notes, calls;

    const checks::SuiteOptions& Options() const override { return options; }
    std::uint64_t Seed() const override { return options.seed; }
    void Calling(std::string_view call) override { calls.emplace_back(call); }
    void Fail(std::string message) override { failures.push_back(std::move(message)); }
    void Choice(std::string message) override { notes.push_back(std::move(message)); }
    void Broke(std::string_view rule, std::string message) override
    {
        failures.push_back(std::string(rule) + ": " + message);
    }
    void Note(std::string message) override { notes.push_back(std::move(message)); }
    void Skip(std::string reason) override { skips.push_back(std::move(reason)); }
    void NotImplemented(std::string_view call) override { failures.push_back(std::string(call) + " not implemented"); }
    bool Failed() const override { return !failures.empty(); }
    checks::CallRecorder* Recorder() override { return nullptr; }

    // Everything said, one line each, as "FAIL ...", "SKIP ...", "NOTE ...".
    std::string Said() const
    {
        std::string text;
        for (const std::string& f : failures)
            text += "FAIL " + f + "\n";
        for (const std::string& s : skips)
            text += "SKIP " + s + "\n";
        for (const std::string& n : notes)
            text += "NOTE " + n + "\n";
        return text;
    }
};
