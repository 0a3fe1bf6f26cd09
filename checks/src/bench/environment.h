// What the machine was doing when the figures were taken: a figure is only
// comparable with another from the same kind of machine in the same state.
#pragma once

#include <string>

namespace bench {

struct Environment {
    std::string cpuModel;
    // The flags that change what crypto code can do ("sha_ni aes avx2 ..."),
    // and "hypervisor" when the machine is a guest.
    std::string cpuFlags;
    int cpus = 0;
    std::string governor;  // empty when the kernel does not say
    std::string kernel;
    std::string openssl;
    double load1 = 0, load5 = 0, load15 = 0;
    // "invariant TSC, 2.496 ticks/ns" or why there are no cycle figures.
    std::string cycleCounter;
    double clockResolutionNs = 0;
    int pinnedCpu = -1;
};

Environment ProbeEnvironment();

}  // namespace bench
