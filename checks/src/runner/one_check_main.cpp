#include "runner/one_check_main.h"

#include "runner/check_seed.h"
#include "runner/child_context.h"
#include "runner/fault_trap.h"
#include "runner/fresh_child.h"
#include "runner/option_reader.h"

#include <runtime/object_binding.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define TARVEL_HAVE_VALGRIND_H 1
#endif

namespace checks::runner {
namespace {

// The child's context, also telling memcheck each call as it starts: the
// note lands in memcheck's XML between the errors, so each error is told
// with the call that was running on its thread.
class AnnouncingContext final : public Context {
public:
    explicit AnnouncingContext(ChildContext& inner) : m_inner(inner) {}

    const SuiteOptions& Options() const override { return m_inner.Options(); }
    std::uint64_t Seed() const override { return m_inner.Seed(); }
    void Calling(std::string_view call) override
    {
        m_inner.Calling(call);
#ifdef TARVEL_HAVE_VALGRIND_H
        // XML markup in a call's text would break the document memcheck writes.
        std::string text(call.substr(0, 200));
        for (char& c : text)
            if (c == '<' || c == '>' || c == '&')
                c = ' ';
        VALGRIND_PRINTF("%s\n", text.c_str());
#endif
    }
    void Fail(std::string message) override
    {
        m_inner.Fail(std::move(message));
    }
    void Choice(std::string message) override
    {
        m_inner.Choice(std::move(message));
    }
    void Broke(std::string_view rule, std::string message) override
    {
        m_inner.Broke(rule, std::move(message));
    }
    void Note(std::string message) override
    {
        m_inner.Note(std::move(message));
    }
    void Skip(std::string reason) override
    {
        m_inner.Skip(std::move(reason));
    }
    void NotImplemented(std::string_view call) override
    {
        m_inner.NotImplemented(call);
    }
    bool Failed() const override
    {
        return m_inner.Failed();
    }
    CallRecorder* Recorder() override
    {
        return m_inner.Recorder();
    }

private:
    ChildContext& m_inner;
};

struct OneCheckRequest {
    std::string name;
    SuiteOptions options;
    int framesFd = -1;
    int recordFd = -1;
};

std::optional<OneCheckRequest> ParseRequest(int argc, char** argv)
{
    OneCheckRequest request;
    OptionReader args(argc, argv);
    std::string error;
    while (args.Next()) {
        const std::string word = args.Word();
        const auto value = args.Value(error);
        if (!value)
            return std::nullopt;
        if (word == kRunOneCheckWord)
            request.name = *value;
        else if (word == "--level")
            request.options.level = static_cast<Level>(std::atoi(value->c_str()));
        else if (word == "--seed")
            request.options.seed = std::strtoull(value->c_str(), nullptr, 10);
        else if (word == "--vectors")
            request.options.vectorsDir = *value;
        else if (word == "--data")
            request.options.dataDir = *value;
        else if (word == "--component")
            request.options.componentPath = *value;
        else if (word == "--frames-fd")
            request.framesFd = std::atoi(value->c_str());
        else if (word == "--record-fd")
            request.recordFd = std::atoi(value->c_str());
        else if (word == "--named-suite")
            request.options.namedSuites.push_back(*value);
        else
            return std::nullopt;
    }
    if (request.name.empty() || request.framesFd < 0 || request.recordFd < 0)
        return std::nullopt;
    return request;
}

std::optional<CheckDef> FindCheck(const OneCheckRequest& request, const std::vector<NamedSuite>& suites,
                                  const CheckDef& libraryLoad)
{
    if (libraryLoad.name == request.name)
        return libraryLoad;
    for (const NamedSuite& suite : suites)
        for (CheckDef& check : suite.suite(request.options))
            if (check.name == request.name)
                return std::move(check);
    return std::nullopt;
}

}  // namespace

std::vector<std::string> OneCheckArguments(const std::string& name, const SuiteOptions& options,
                                           const std::string& dataDir, int framesFd, int recordFd)
{
    std::vector<std::string> words = {kRunOneCheckWord, name,
                                      "--level",        std::to_string(static_cast<int>(options.level)),
                                      "--seed",         std::to_string(options.seed),
                                      "--vectors",      options.vectorsDir,
                                      "--data",         dataDir,
                                      "--component",    options.componentPath,
                                      "--frames-fd",    std::to_string(framesFd),
                                      "--record-fd",    std::to_string(recordFd)};
    // Some suites offer more checks when named (timing below thorough).
    for (const std::string& suite : options.namedSuites) {
        words.push_back("--named-suite");
        words.push_back(suite);
    }
    return words;
}

int RunOneCheckMain(int argc, char** argv, const std::vector<NamedSuite>& suites, const CheckDef& libraryLoad)
{
    auto request = ParseRequest(argc, argv);
    if (!request) {
        std::fputs("tarvel-check: --run-one-check is tarvel-check's own; use --only to run one check\n", stderr);
        return 2;
    }
    setenv("TARVEL_COMPONENT", request->options.componentPath.c_str(), 1);
    if (!AfxOleInit())
        return 2;
    request->options.componentPath = ComponentLibraryPath();
    const auto check = FindCheck(*request, suites, libraryLoad);
    ChildRecord* record = MapChildRecord(request->recordFd);
    if (!check || !record)
        return 2;
    // As a forked child would: Ctrl-C takes it along, a closed pipe is no
    // signal, faults on guard pages are noted.
    signal(SIGINT, SIG_DFL);
    signal(SIGPIPE, SIG_IGN);
    InstallFaultTrap(record);
    ChildContext inner(request->options, check->name, CheckSeed(request->options.seed, check->name), request->framesFd,
                       record);
    AnnouncingContext context(inner);
    try {
        check->body(context);
    } catch (const std::exception& error) {
        context.Fail(std::string("the check stopped on an exception: ") + error.what());
    } catch (...) {
        context.Fail("the check stopped on an exception");
    }
    inner.Done();
    close(request->framesFd);
    // Static destructors are skipped as in a forked child: the component
    // may not survive them, and its failures at exit are not this check's.
    _exit(0);
}

}  // namespace checks::runner
