// The suites of tarvel-check, by the first word of their checks' names.
#pragma once

#include <checks/check.h>

#include <string>
#include <vector>

namespace checks {

// Loading the library step by step: path, file, dlopen, entry points, classes.
std::vector<CheckDef> LoadSuite(const SuiteOptions& opts);
// The binary contract: factories, QueryInterface, reference counts, the size
// protocol against guard pages, null pointers, slot layout, threads.
std::vector<CheckDef> ContractSuite(const SuiteOptions& opts);
// Known answers from third-party vector files.
std::vector<CheckDef> VectorsSuite(const SuiteOptions& opts);
// Generated RSA keys audited with big-number arithmetic, and the key files.
std::vector<CheckDef> RsaSuite(const SuiteOptions& opts);
// Seeded random inputs compared with OpenSSL.
std::vector<CheckDef> DifferentialSuite(const SuiteOptions& opts);
// What using the component leaves behind: leaks per life cycle, reference
// counts, threads (checks/src/memory/).
std::vector<CheckDef> MemorySuite(const SuiteOptions& opts);
// Timing leaks of RSA Decrypt and DES, with controls; lists its checks only
// when named or at Level::Thorough.
std::vector<CheckDef> TimingSuite(const SuiteOptions& opts);

// load.library: the library opens and exports DllGetClassObject. The runner
// runs it before anything else; when it fails nothing else can be judged.
CheckDef LibraryLoadCheck();

struct NamedSuite {
    std::string name;
    std::string description;
    Suite suite;
};

// Every suite of tarvel-check, in the order a run takes them.
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
