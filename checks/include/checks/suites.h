// The conformance suites of checks/src/suites, by the first word of their
// checks' names. tarvel-check's whole list is <checks/all_suites.h>.
#pragma once

#include <checks/check.h>

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

// load.library: the library opens and exports DllGetClassObject. The runner
// runs it before anything else; when it fails nothing else can be judged.
CheckDef LibraryLoadCheck();

}  // namespace checks
