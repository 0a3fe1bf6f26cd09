#include <checks/suites.h>
namespace checks {
std::vector<CheckDef> VectorsSuite(const SuiteOptions&) { return {}; }
std::vector<CheckDef> DifferentialSuite(const SuiteOptions&) { return {}; }
}
