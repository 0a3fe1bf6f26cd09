// What --explain prints: a rule with the checks that enforce it, or a check
// with the rules it enforces and how to replay it.
#pragma once

#include <checks/check.h>

#include <optional>
#include <string>
#include <vector>

namespace checks::runner {

// The text for name (a rule id or a check's name among checks), or nullopt
// when it is neither.
std::optional<std::string> ExplainText(const std::string& name, const std::vector<CheckDef>& checks);

}  // namespace checks::runner
