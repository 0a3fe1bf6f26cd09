// How a bench run is told: the environment, a table, the comparison with a
// baseline, and the JSON document (schema tarvel-bench/1, see checks/README.md).
#pragma once

#include "bench/baseline.h"
#include "bench/environment.h"
#include "bench/measure.h"
#include "runner/run_origin.h"

#include <string>
#include <vector>

namespace bench {

inline constexpr const char* kBenchSchema = "tarvel-bench/1";

struct BenchRun {
    std::string component;
    std::optional<checks::runner::FileIdentity> componentFile;  // absent when unreadable
    Environment environment;
    MeasureSettings settings;
    std::vector<Measurement> measurements;
    std::vector<Comparison> comparisons;
    std::string baselinePath;
    double seconds = 0;
    int exitStatus = 0;
};

std::string EnvironmentLines(const BenchRun& run);
std::string Table(const BenchRun& run);
std::string ComparisonLines(const BenchRun& run);
std::string BenchJson(const BenchRun& run);

// "812 ns", "3.41 µs", "1.27 ms", "2.05 s".
std::string Duration(double nanoseconds);

}  // namespace bench
