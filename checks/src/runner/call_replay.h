// The recorded calls of a replay bundle issued again, in order, on the
// component: a creation makes the object by class identifier as the programs
// do, every other call goes to the object it was made on with the recorded
// inputs, output buffers of the recorded capacity (guarded buffers), and the
// status and every answer are compared with the record.
#pragma once

#include "runner/json_reader.h"

#include <checks/check.h>

#include <string>

namespace checks::runner {

// The most differences told one by one; the rest are counted.
inline constexpr int kMostShownDifferences = 10;

// Note prefixes the body reports with: a difference, and the closing summary.
inline constexpr const char* kDiffersNote = "differs: ";
inline constexpr const char* kSummaryNote = "summary: ";

// Issues records (a bundle's "call_records") through ctx: each call is named
// with ctx.Calling ("call 17: IUserRSA::Decrypt"), so a crash or a hang is
// reported with it; differences are notes starting with kDiffersNote, the
// last note starts with kSummaryNote.
void ReplayCalls(Context& ctx, const JsonValue& records);

// "call 17: IUserRSA::Decrypt", as ReplayCalls names the call.
std::string ReplayedCallName(const JsonValue& record);

}  // namespace checks::runner
