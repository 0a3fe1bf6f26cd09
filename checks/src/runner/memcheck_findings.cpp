#include "runner/memcheck_findings.h"

#include <checks/rules.h>

#include <algorithm>
#include <filesystem>

namespace checks::runner {
namespace {

// Errors beyond these are counted, not printed: one is enough to fail, a
// screenful of the same fault helps nobody.
constexpr std::size_t kErrorsShown = 6;
constexpr std::size_t kFramesShown = 12;

std::string Resolved(const std::string& path)
{
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

std::string FrameLine(const MemcheckFrame& frame)
{
    std::string text = frame.fn.empty() ? std::string("???") : frame.fn;
    std::string where;
    if (!frame.file.empty())
        where = frame.file + (frame.line > 0 ? ":" + std::to_string(frame.line) : std::string());
    const std::string object = std::filesystem::path(frame.obj).filename().string();
    if (!object.empty())
        where += (where.empty() ? "" : ", ") + object;
    return where.empty() ? text : text + " (" + where + ")";
}

// The frames worth reading: down to the caller of the outermost frame in the
// component, so the line shows both the fault and the method called.
std::string StackText(const std::vector<MemcheckFrame>& stack, const std::string& component)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < stack.size(); ++i)
        if (Resolved(stack[i].obj) == component)
            last = i;
    const std::size_t shown = std::min({stack.size(), last + 2, kFramesShown});
    std::string text;
    for (std::size_t i = 0; i < shown; ++i)
        text += std::string(i == 0 ? "\n    at " : "\n    by ") + FrameLine(stack[i]);
    return text;
}

// The outermost function of the component in the stack: for a leak, the
// method whose work allocated the block.
std::string OutermostComponentFunction(const std::vector<MemcheckFrame>& stack, const std::string& component)
{
    std::string found;
    for (const MemcheckFrame& frame : stack)
        if (Resolved(frame.obj) == component)
            found = frame.fn.empty() ? std::string("an unnamed function") : frame.fn;
    return found;
}

bool HasComponentFrame(const std::vector<MemcheckFrame>& stack, const std::string& component)
{
    return std::any_of(stack.begin(), stack.end(),
                       [&](const MemcheckFrame& frame) { return Resolved(frame.obj) == component; });
}

// The checker touching a block the component freed: the checker only
// touches what it holds a reference to, so the component freed it too soon.
bool FreedByComponent(const MemcheckError& error, const std::string& component)
{
    return !error.IsLeak() && error.auxWhat.find("free'd") != std::string::npos &&
           HasComponentFrame(error.auxStack, component);
}

bool InComponent(const MemcheckError& error, const std::string& component)
{
    return HasComponentFrame(error.stack, component) || FreedByComponent(error, component);
}

std::string FailureText(const MemcheckError& error, const std::string& component)
{
    std::string text = RuleTag(*FindRule("memory.memcheck-clean")) + "memcheck: " + error.what;
    const bool freedEarly = !HasComponentFrame(error.stack, component);
    if (freedEarly)
        text += " of memory the component had freed";
    if (error.IsLeak()) {
        text += ", allocated in " + OutermostComponentFunction(error.stack, component);
    } else if (!error.lastClientMessage.empty()) {
        text += ", in " + error.lastClientMessage;
    }
    text += StackText(error.stack, component);
    if (!error.auxWhat.empty())
        text += "\n    " + error.auxWhat;
    if (freedEarly)
        text += StackText(error.auxStack, component);
    return text;
}

}  // namespace

MemcheckFindings JudgeMemcheckErrors(const std::vector<MemcheckError>& errors, const std::string& componentPath)
{
    const std::string component = Resolved(componentPath);
    MemcheckFindings findings;
    std::size_t inComponent = 0;
    std::vector<const MemcheckError*> outside;
    for (const MemcheckError& error : errors) {
        if (!InComponent(error, component)) {
            outside.push_back(&error);
        } else if (std::string text = FailureText(error, component);
                   std::find(findings.failures.begin(), findings.failures.end(), text) == findings.failures.end() &&
                   ++inComponent <= kErrorsShown) {
            // Errors that differ only below the frames shown are told once.
            findings.failures.push_back(std::move(text));
        }
    }
    if (inComponent > kErrorsShown)
        findings.failures.push_back(RuleTag(*FindRule("memory.memcheck-clean")) + "memcheck: " +
                                    std::to_string(inComponent - kErrorsShown) + " more errors in the component");
    if (!outside.empty()) {
        const MemcheckError& first = *outside.front();
        findings.outsideNote =
            "memcheck: " + std::to_string(outside.size()) +
            " error(s) with no frame in the component, not held against it; the first: " + first.what +
            (first.stack.empty() ? "" : " at " + FrameLine(first.stack.front()));
    }
    return findings;
}

}  // namespace checks::runner
