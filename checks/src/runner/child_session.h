// How every check's child starts when a plain fork will not do: this program
// again in its one-check mode, under valgrind's memcheck (--memcheck) or
// alone. Alone is for builds with sanitizers: their allocators take no lock
// around fork, so a child forked while another of the checker's threads
// held one would wait for it forever; an exec'd child starts clean.
#pragma once

#include <string>

namespace checks::runner {

// Time limits are multiplied by this under memcheck: it runs the component
// and the checker 20 to 60 times slower than natively (RSA key generation
// at the slow end), so a limit that holds natively holds under it.
inline constexpr double kMemcheckTimeFactor = 40;

// True in a build with AddressSanitizer or ThreadSanitizer.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizerBuild = true;
#else
inline constexpr bool kSanitizerBuild = false;
#endif
#else
inline constexpr bool kSanitizerBuild = false;
#endif

struct ChildSession {
    std::string valgrind;      // the valgrind launcher, an absolute path; empty: no memcheck
    std::string suppressions;  // share/tarvel/memcheck.supp beside bin/; empty when absent
    std::string executable;    // this program, run again for one check
    std::string dataDir;       // share/tarvel, for the one-check process
};

// Finds valgrind on PATH and the suppressions in dataDir, and makes the
// session the run's. Returns why it cannot, for an exit-2 message.
std::string StartMemcheckSession(const std::string& dataDir);

// Makes every check's child this program run again, without valgrind.
// Returns why it cannot.
std::string StartExecSession(const std::string& dataDir);

// The run's session, or null when each child is a plain fork.
const ChildSession* ActiveChildSession();

}  // namespace checks::runner
