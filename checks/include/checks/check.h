// What a conformance check is, and what it may say about a component.
//
// A suite is a function that lists its checks for the chosen level; the runner
// runs each check's body in a child process of its own under a time limit, so
// a component that crashes or hangs fails that one check and the run goes on.
// Bodies talk to the component only through the object binding (the same
// CoCreateInstance the programs use) and report through their Context.
#pragma once

#include <harness/failure_text.h>
#include <runtime/object_binding.h>
#include <tarvel/com.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace checks {

// How hard a run looks. Each level runs every check of the levels below it.
enum class Level { Quick = 0, Standard = 1, Thorough = 2 };

// The run's settings, as a suite sees them.
struct SuiteOptions {
    Level level = Level::Standard;
    // Seed of the run; a check derives its own from this and its name, so
    // replaying one check with --only gives the same inputs.
    std::uint64_t seed = 1;
    // Folder of the third-party vector files (NIST validation files, RFC 1321).
    std::string vectorsDir;
    // Tarvel's own data folder (share/tarvel): vectors no third-party package
    // ships as files, such as RFC 1321's MD5 suite.
    std::string dataDir;
    // Absolute path of the component library under test.
    std::string componentPath;
    // The suites the command line names; empty when it names none (all run).
    std::vector<std::string> namedSuites;
};

// One value of a component call as a replay bundle keeps it: an argument
// before the call or an answer after it.
struct CallValue {
    enum class Kind {
        Null,      // a null pointer
        Number,    // a scalar, or the count behind a pointer
        Bytes,     // a buffer's bytes
        Text,      // a text's bytes
        Path,      // a file's path, a check's scratch folder as a placeholder
        Capacity,  // an output buffer of number bytes (its bytes come after)
        Large,     // a buffer too large to keep: its length, and SHA-256 in bytes
    };
    std::string name;
    Kind kind = Kind::Null;
    std::uint64_t number = 0;
    std::string bytes;
};

// Where a check's component calls go with their arguments, statuses and
// output buffers when the run keeps them (--artifacts). Any thread may call.
class CallRecorder {
public:
    virtual ~CallRecorder() = default;
    // A call about to start on object (numbered in creation order, 0 for a
    // creation); its number, 0 once the record is full (nothing more kept).
    virtual std::uint64_t Started(std::uint32_t object, std::string_view interfaceName, std::string_view method,
                                  std::vector<CallValue> inputs) = 0;
    // The call that Started numbered returned status with outputs.
    virtual void Returned(std::uint64_t call, HRESULT status, std::vector<CallValue> outputs) = 0;
};

// The voice of one running check. Everything it reports goes to the parent
// process as it is said, so a report made before a crash is not lost.
class Context {
public:
    virtual ~Context() = default;

    virtual const SuiteOptions& Options() const = 0;
    // The seed of this check: the run's seed mixed with the check's name.
    virtual std::uint64_t Seed() const = 0;

    // Names the component call about to start ("IUserRSA::Decrypt"); a crash
    // or a hang is reported with the last call named.
    virtual void Calling(std::string_view call) = 0;

    // A broken required rule (crypto/RULES.md): what was expected and what
    // came. The check fails; the body may go on to look for more. The rule
    // is the check's most specific required rule.
    virtual void Fail(std::string message) = 0;
    // Something the contract leaves to the component differs from the bundled
    // component's choice (a status code, a size limit, a file format): the
    // check's most specific recommended rule, a note below Level::Thorough, a
    // failure at it.
    virtual void Choice(std::string message) = 0;
    // The named rule is broken: a failure or a choice as its class says. For
    // checks that enforce more than one rule of a class.
    virtual void Broke(std::string_view rule, std::string message) = 0;
    // Information worth showing beside the verdict; changes nothing.
    virtual void Note(std::string message) = 0;
    // The check cannot run here (no vector files, nothing to test); the body
    // should return after saying so.
    virtual void Skip(std::string reason) = 0;

    // A call answered E_NOTIMPL. For a slot either program calls, at
    // Level::Quick the check is skipped as "not implemented yet", so a
    // component being brought up passes quick and sees exactly what is left;
    // at the levels above it is a failure. For a slot no program calls it is
    // a recommended rule: a note below Level::Thorough.
    virtual void NotImplemented(std::string_view call) = 0;

    // True once Fail was called (or Choice at Level::Thorough, or
    // NotImplemented above Level::Quick).
    virtual bool Failed() const = 0;

    // Where the objects of support::Create record their calls; null when
    // this run or this check keeps no record of them. A Context that wraps
    // another passes the inner one's on, or the record is lost unseen.
    virtual CallRecorder* Recorder() = 0;
};

// The status as the reports print it: "0x80070057".
inline std::string StatusText(HRESULT status)
{
    return StatusCode(status);
}

// True when status is a success; otherwise says so for call as the programs
// do ("IUserDES::SetKey failed: unspecified failure (0x80004005)") as a
// failure, or as not implemented for E_NOTIMPL.
inline bool CallSucceeded(Context& ctx, HRESULT status, std::string_view call)
{
    if (SUCCEEDED(status))
        return true;
    if (status == E_NOTIMPL)
        ctx.NotImplemented(call);
    else
        ctx.Fail(harness::FailedCallText(call, status));
    return false;
}

using CheckBody = std::function<void(Context&)>;

struct CheckDef {
    // Dotted, first word the suite: "vectors.sha1.short-msg".
    std::string name;
    // One line saying what is checked, for --list and the reports.
    std::string description;
    CheckBody body;
    // Time the body may take before it is stopped and failed as hung.
    double timeoutSeconds = 30.0;
    // Files the body reads its known answers from. A run that picks the check
    // stops before it starts (status 2) when one cannot be read, so a missing
    // vector package never passes as a run that checked less.
    std::vector<std::string> inputFiles = {};
};

// Every suite has this shape; it lists only the checks of opts.level and
// below, and may read files to decide what to list.
using Suite = std::vector<CheckDef> (*)(const SuiteOptions& opts);

// A suite as the runner offers it: the first word of its checks' names and
// the line --help shows for it.
struct NamedSuite {
    std::string name;
    std::string description;
    Suite suite;
};

}  // namespace checks
