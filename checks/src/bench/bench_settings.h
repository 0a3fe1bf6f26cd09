// What the command line of "tarvel-check bench" asks for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct BenchSettings {
    std::optional<std::string> component;
    std::size_t samples = 0;  // 0: the default
    double seconds = 0;       // 0: the default
    int pinCpu = -1;
    std::optional<std::string> file;
    std::optional<std::string> jsonPath;
    std::optional<std::string> baselinePath;
    std::vector<std::string> only;
    bool vsOpenSsl = false;
    bool failOnRegression = false;
    bool list = false;
    bool help = false;
    bool quiet = false;  // only failures and the closing line
};

inline constexpr std::size_t kDefaultSamples = 41;
inline constexpr double kDefaultSeconds = 2.0;

// argv[0] is the word "bench"; on a wrong command line returns nullopt with
// error set.
std::optional<BenchSettings> ParseBenchCommandLine(int argc, char** argv, std::string& error);
std::string BenchUsageText();

}  // namespace bench
