// Every suite of tarvel-check: the one list the executable hands the runner.
// A new suite is a file in its folder defining its function, a declaration
// beside its folder's others and one line here.
#pragma once

#include <checks/memory_suite.h>
#include <checks/suites.h>
#include <checks/timing_suite.h>

#include <vector>

namespace checks {

// In the order a run takes them.
inline std::vector<NamedSuite> AllSuites()
{
    return {
        {"load", "loading the library and its classes step by step", &LoadSuite},
        {"contract", "the binary contract of every class", &ContractSuite},
        {"vectors", "known answers from third-party vector files", &VectorsSuite},
        {"rsa", "generated keys audited with big-number arithmetic", &RsaSuite},
        {"differential", "seeded random inputs compared with OpenSSL", &DifferentialSuite},
        {"memory", "leaks per life cycle, reference counts and threads", &MemorySuite},
        {"timing",
         "timing leaks of RSA Decrypt and DES (not the public Encrypt or hashes); only when named or at thorough",
         &TimingSuite},
    };
}

}  // namespace checks
