// The files the picked checks read their known answers from, looked at before
// any check runs.
#pragma once

#include <checks/check.h>

#include <string>
#include <vector>

namespace checks::runner {

// One line per file that cannot be opened for reading ("  PATH: reason
// (CHECK)"), empty when every file can.
std::string UnreadableInputs(const std::vector<CheckDef>& checks);

}  // namespace checks::runner
