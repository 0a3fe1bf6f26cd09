// What a process holds that a leaking component makes grow, as the process
// sees it itself: heap in use, open descriptors, mappings and threads.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace checks::memory {

enum class Resource { Heap = 0, Descriptors, Mappings, Threads };
inline constexpr std::array<Resource, 4> kResources = {Resource::Heap, Resource::Descriptors, Resource::Mappings,
                                                       Resource::Threads};

// "the heap in use grows", "open file descriptors grow", ...
const char* ResourceGrows(Resource resource);
// "bytes", "descriptors", ...
const char* ResourceUnit(Resource resource);

struct ResourceSample {
    std::array<std::int64_t, 4> values{};
    std::int64_t operator[](Resource resource) const { return values[static_cast<std::size_t>(resource)]; }
};

// Allocates nothing that outlives the call, so sampling does not feed what
// it measures.
ResourceSample SampleResources();

// The least heap growth a life cycle that counts: the heap figure natively
// includes the chunks glibc keeps per thread and size for reuse, which fill
// slowly over hundreds of cycles when sizes vary (OpenSSL's PEM code does),
// so only 512 bytes a cycle stand out; memcheck counts live blocks exactly.
std::int64_t HeapFloorPerCycle();

// The name of each thread of the process (/proc/self/task/*/comm).
std::vector<std::string> ThreadNames();

}  // namespace checks::memory
