// --memcheck: what every check's child needs to run under valgrind's
// memcheck, found once when the run starts.
#pragma once

#include <string>

namespace checks::runner {

// Time limits are multiplied by this under memcheck: it runs the component
// and the checker 20 to 60 times slower than natively (RSA key generation
// at the slow end), so a limit that holds natively holds under it.
inline constexpr double kMemcheckTimeFactor = 40;

struct MemcheckSession {
    std::string valgrind;      // the valgrind launcher, an absolute path
    std::string suppressions;  // share/tarvel/memcheck.supp beside bin/; empty when absent
    std::string executable;    // this program, run again by valgrind for one check
    std::string dataDir;       // share/tarvel, for the one-check process
};

// Finds valgrind on PATH and the suppressions in dataDir, and makes the
// session the run's. Returns why it cannot, for an exit-2 message.
std::string StartMemcheckSession(const std::string& dataDir);

// The run's session, or null when the run does not use memcheck.
const MemcheckSession* ActiveMemcheckSession();

}  // namespace checks::runner
