// What the command line of tarvel-check asks for.
#pragma once

#include <checks/check.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace checks::runner {

struct RunSettings {
    std::optional<std::string> component;  // --component, as typed
    Level level = Level::Standard;
    std::uint64_t seed = 1;
    bool seedGiven = false;
    std::vector<std::string> only;  // --only, any of them may match
    std::vector<std::string> skip;  // --skip, any of them leaves a check out
    // --json FILE, --junit FILE, --html FILE...: the format (as named in
    // report_formats.cpp) and its file, in the order given.
    std::vector<std::pair<std::string, std::string>> reports;
    std::optional<std::string> expectFailPath;  // --expect-fail FILE
    std::optional<std::string> artifactsDir;    // --artifacts DIR
    // --jobs: checks at a time, 0 for the number of CPUs.
    unsigned jobs = 0;
    // --shard K/N: run the K-th of N parts (1-based); 0/0 for all.
    unsigned shardIndex = 0, shardCount = 0;
    enum class Colour { Auto, Always, Never } colour = Colour::Auto;
    std::optional<std::string> vectorsDir;
    std::optional<std::string> explain;    // --explain: a rule or a check
    std::optional<double> timeoutSeconds;  // --timeout: every check's limit
    std::vector<std::string> suites;       // positional; empty means all
    bool list = false;
    bool help = false;
    bool version = false;  // --version: print "tarvel-check VERSION" and stop
    bool quiet = false;
    bool memcheck = false;  // --memcheck: every check's child under valgrind's memcheck
};

// Parses argv; on a wrong command line returns nullopt with error set.
std::optional<RunSettings> ParseCommandLine(int argc, char** argv, std::string& error);

// The text --help prints.
std::string UsageText(const std::vector<std::string>& suiteLines);

const char* LevelName(Level level);

// True when a check's dotted name is picked by one of the --only patterns:
// a shell pattern (fnmatch) over the whole name, or a name prefix that ends at
// a dot ("contract.rsa" picks "contract.rsa.getters"). No pattern picks all.
bool NamePicked(const std::string& name, const std::vector<std::string>& patterns);

}  // namespace checks::runner
