// Threads the component starts must end with its last object. The library is
// loaded first, so threads it starts while loading are in the count before.
#include "suites/library_handle.h"
#include "memory/life_cycles.h"
#include "suites/scratch_files.h"
#include "memory/memory_checks.h"
#include "memory/process_resources.h"
#include "memory/rule_context.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace checks::memory {
namespace {

// How long a thread may take to end after the last Release: a component
// may stop its worker without waiting for it.
constexpr auto kGracePeriod = std::chrono::seconds(2);

std::string NamesText(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + ("'" + name + "'");
    return text;
}

// The names in after that are not in before, one for one.
std::vector<std::string> NewNames(std::vector<std::string> before, const std::vector<std::string>& after)
{
    std::vector<std::string> added;
    for (const std::string& name : after) {
        const auto found = std::find(before.begin(), before.end(), name);
        if (found == before.end())
            added.push_back(name);
        else
            before.erase(found);
    }
    return added;
}

}  // namespace

void CheckThreadsEnd(Context& ctx)
{
    const support::LibraryHandle library(ctx.Options().componentPath, support::kNeverUnloaded);
    if (!library.Loaded()) {
        ctx.Skip("the library does not load (load.library says why)");
        return;
    }
    const std::vector<std::string> before = ThreadNames();
    const support::ScratchFolder folder("tarvel-memory");
    if (!folder.Ready(ctx))
        return;
    RuleContext calls(ctx, "");
    bool used = true;
    for (const CryptoClass& entry : kCryptoClasses) {
        const auto cycle = MakeLifeCycle(entry.kind, folder.Path());
        used &= cycle->Run(calls, cycle->Steps().size());
    }
    // Every object is released: wait a little for threads on their way out.
    const auto deadline = std::chrono::steady_clock::now() + kGracePeriod;
    std::vector<std::string> after = ThreadNames();
    while (after.size() > before.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        after = ThreadNames();
    }
    if (after.size() > before.size())
        ctx.Fail(std::to_string(after.size() - before.size()) + " thread(s) the component started still run " +
                 std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kGracePeriod).count()) +
                 " s after every object was released: " + std::to_string(before.size()) +
                 " thread(s) before the first object, " + std::to_string(after.size()) +
                 " after the last (new: " + NamesText(NewNames(before, after)) + ")");
    else if (!used)
        ctx.Note("not every class could be taken through its protocol; the threads of those that could were counted");
}

}  // namespace checks::memory
