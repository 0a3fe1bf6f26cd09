// Every figure of one timing test as one JSON object in a note,
// "timing: {…}", for --json readers and plots: per-crop t, counts, medians
// per class, the same for both controls, and |t| as measurements accumulated.
#pragma once

#include "timing/measure_loop.h"
#include "timing/verdict.h"

#include <string>

namespace timing {

// What a test times and how, as the note states it.
struct TestDescription {
    std::string timed;     // "IUserRSA::Decrypt"
    std::string fixed;     // the fixed class
    std::string random;    // the random class
    std::string leaky;     // the leaky control
    std::string constant;  // the constant-time control
};

// first: the set that crossed the line before result confirmed or
// overturned it; null when result is the only set.
std::string TimingNote(const TestDescription& test, const Budget& budget, const LoopResult& result,
                       const Verdict& verdict, const Stopwatch& watch, const std::string& pinned,
                       const LoopResult* first = nullptr);

}  // namespace timing
