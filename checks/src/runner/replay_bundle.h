// Replay bundles (--artifacts DIR): what a failing check did, kept so that
// "tarvel-check replay BUNDLE" can run it again and tell whether the
// component still answers the same.
//
// A bundle holds the check, the run's seed and level, the component's path
// and SHA-256, the verdict's messages and the component calls the check
// named (Context::Calling) in order, a run of one call with its count, and
// every component call it made with its arguments, status and output
// buffers (call_record.h), which "replay" issues again one by one. The
// timing, memory and load suites record no calls (UnrecordedReason); their
// bundles are replayed by running the check again from its seed.
#pragma once

#include "runner/run_model.h"

#include <checks/check.h>

#include <string>
#include <vector>

namespace checks::runner {

inline constexpr const char* kReplaySchema = "tarvel-replay/2";
// Bundles of the first schema hold no call records; they are still read.
inline constexpr const char* kFirstReplaySchema = "tarvel-replay/1";

// The bundle of result, a check of summary's run, as JSON.
std::string ReplayBundle(const RunSummary& summary, const CheckResult& result);

// tarvel-check replay BUNDLE [--in-process] [--component PATH]; argv[0] is
// the word "replay". 0: the component answers the same (the same calls and
// the same verdict and messages), 1: it answers differently, 2: the bundle or
// the command line is wrong or the component does not load.
int ReplayMain(int argc, char** argv, const std::vector<NamedSuite>& suites);

}  // namespace checks::runner
