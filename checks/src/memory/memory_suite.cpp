// The memory suite: what a component leaves behind as it is used. It runs
// natively with what the process sees of itself and sees more under
// --memcheck, where every check's process also runs under memcheck.
#include "memory/memory_checks.h"

#include "suites/support.h"

#include <checks/memory_suite.h>

namespace checks {

std::vector<CheckDef> MemorySuite(const SuiteOptions& options)
{
    // Cycles in each of the three measured runs: enough that one leaked
    // object or descriptor a cycle stands out from the allocator's noise.
    const int cyclesPerRun = options.level == Level::Quick ? 4 : options.level == Level::Standard ? 8 : 24;
    std::vector<CheckDef> checks;
    for (const CryptoClass& entry : kCryptoClasses) {
        const CryptoClassKind kind = entry.kind;
        checks.push_back({std::string("memory.") + support::ShortName(kind) + ".life-cycle",
                          std::string("created, used through its whole protocol and released ") +
                              std::to_string(memory::kWarmUpCycles + 3 * cyclesPerRun) +
                              " times: heap, descriptors, mappings and threads do not grow",
                          [kind, cyclesPerRun](Context& ctx) { memory::CheckLifeCycles(ctx, kind, cyclesPerRun); },
                          120.0});
    }
    checks.push_back({"memory.references",
                      "AddRef and Release counts, each object alive until its last Release, DllCanUnloadNow",
                      &memory::CheckReferences});
    checks.push_back(
        {"memory.threads", "no thread the component started outlives its last object", &memory::CheckThreadsEnd});
    return checks;
}

}  // namespace checks
