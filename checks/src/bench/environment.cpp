#include "bench/environment.h"

#include <openssl/crypto.h>

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace bench {
namespace {

std::string FirstLine(const char* path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// The value of the first "key : value" line of /proc/cpuinfo with that key.
std::string CpuInfoValue(const std::string& key)
{
    std::ifstream file("/proc/cpuinfo");
    for (std::string line; std::getline(file, line);) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        const auto colon = line.find(':');
        if (colon != std::string::npos && line.find_first_not_of(" \t", key.size()) == colon)
            return line.substr(line.find_first_not_of(' ', colon + 1) == std::string::npos
                                   ? line.size()
                                   : line.find_first_not_of(' ', colon + 1));
    }
    return {};
}

std::string FlagSummary(const std::string& flags)
{
    static const char* const kWorthSaying[] = {"sha_ni", "aes", "pclmulqdq",    "avx",         "avx2",      "avx512f",
                                               "bmi2",   "adx", "constant_tsc", "nonstop_tsc", "hypervisor"};
    std::set<std::string> present;
    std::istringstream words(flags);
    for (std::string word; words >> word;)
        present.insert(word);
    std::string summary;
    for (const char* flag : kWorthSaying)
        if (present.count(flag))
            summary += (summary.empty() ? "" : " ") + std::string(flag);
    return summary.empty() ? "(none of sha_ni aes avx2 bmi2 adx)" : summary;
}

}  // namespace

Environment ProbeEnvironment()
{
    Environment env;
    env.cpuModel = CpuInfoValue("model name");
    if (env.cpuModel.empty())
        env.cpuModel = "unknown";
    env.cpuFlags = FlagSummary(CpuInfoValue("flags"));
    env.cpus = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    env.governor = FirstLine("/sys/devices/system/cpu/cpu0/cpufreq/scaling_governor");
    utsname name{};
    if (uname(&name) == 0)
        env.kernel = std::string(name.sysname) + " " + name.release;
    env.openssl = OpenSSL_version(OPENSSL_VERSION);
    double loads[3] = {0, 0, 0};
    if (getloadavg(loads, 3) == 3) {
        env.load1 = loads[0];
        env.load5 = loads[1];
        env.load15 = loads[2];
    }
    return env;
}

}  // namespace bench
