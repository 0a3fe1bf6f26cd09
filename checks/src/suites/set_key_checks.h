// Keys handed to the component through the eight setters, made from the
// check's seed: public exponents other than 65537, p below q, e = 1, and
// CRT parts that do not belong to their key, against OpenSSL's arithmetic.
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks {

std::vector<CheckDef> SetKeyChecks(const SuiteOptions& opts);

}  // namespace checks
