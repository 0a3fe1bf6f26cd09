// The contract suite's checks, one file per interface.
#pragma once

#include <checks/check.h>

#include <vector>

namespace checks::contract {

void AddRsaChecks(std::vector<CheckDef>& checks, Level level);
void AddDesAndHashChecks(std::vector<CheckDef>& checks, Level level);
void AddSharedStateChecks(std::vector<CheckDef>& checks, Level level);
void AddSetterLengthChecks(std::vector<CheckDef>& checks, Level level);

}  // namespace checks::contract
