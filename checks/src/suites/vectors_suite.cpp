// Known answers from third-party vector files, read as data where they are
// installed (--vectors), one file of checks per algorithm family.
#include "suites/vectors_families.h"

#include <checks/suites.h>

namespace checks {

std::vector<CheckDef> VectorsSuite(const SuiteOptions& opts)
{
    std::vector<CheckDef> checks;
    for (auto family : {&vectors::HashVectorChecks, &vectors::HashBoundaryChecks, &vectors::DesVectorChecks,
                        &vectors::RsaVectorChecks})
        for (CheckDef& check : family(opts))
            checks.push_back(std::move(check));
    return checks;
}

}  // namespace checks
