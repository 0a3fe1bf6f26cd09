#include "memory/process_resources.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#define TARVEL_HAVE_MEMCHECK_H 1
#endif

namespace checks::memory {
namespace {

std::int64_t HeapInUse()
{
#ifdef TARVEL_HAVE_MEMCHECK_H
    // Under memcheck the heap is valgrind's, and freed blocks wait in its
    // queue before reuse, so the allocator's figures grow with every free.
    // Memcheck's own count of the blocks still allocated is exact.
    if (RUNNING_ON_VALGRIND) {
        unsigned long leaked = 0, dubious = 0, reachable = 0, suppressed = 0;
        VALGRIND_DO_QUICK_LEAK_CHECK;
        VALGRIND_COUNT_LEAKS(leaked, dubious, reachable, suppressed);
        return static_cast<std::int64_t>(leaked + dubious + reachable + suppressed);
    }
#endif
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using Folder = std::unique_ptr<DIR, DirCloser>;

// Entries of a /proc folder, without "." and "..".
std::int64_t CountEntries(const char* folder, bool withOwnDescriptor)
{
    const Folder dir(opendir(folder));
    if (!dir)
        return -1;
    std::int64_t count = 0;
    while (const dirent* entry = readdir(dir.get()))
        if (entry->d_name[0] != '.')
            ++count;
    // Listing /proc/self/fd shows the descriptor that reads it.
    return withOwnDescriptor ? count - 1 : count;
}

std::int64_t CountLines(const char* path)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::int64_t lines = 0;
    char bytes[8192];
    for (ssize_t n; (n = read(fd, bytes, sizeof bytes)) > 0;)
        for (ssize_t i = 0; i < n; ++i)
            lines += bytes[i] == '\n';
    close(fd);
    return lines;
}

// What the reports call each resource's growth, and its unit, in the order
// of Resource.
struct ResourceWords {
    const char* grows;
    const char* unit;
};
constexpr ResourceWords kResourceWords[] = {
    {"the heap in use grows", "bytes"},
    {"open file descriptors grow", "descriptors"},
    {"memory mappings grow", "mappings"},
    {"threads grow", "threads"},
};
static_assert(std::size(kResourceWords) == kResources.size());

}  // namespace

const char* ResourceGrows(Resource resource)
{
    return kResourceWords[static_cast<std::size_t>(resource)].grows;
}

const char* ResourceUnit(Resource resource)
{
    return kResourceWords[static_cast<std::size_t>(resource)].unit;
}

std::int64_t HeapFloorPerCycle()
{
#ifdef TARVEL_HAVE_MEMCHECK_H
    if (RUNNING_ON_VALGRIND)
        return 8;
#endif
    return 512;
}

ResourceSample SampleResources()
{
    ResourceSample sample;
    sample.values[static_cast<std::size_t>(Resource::Heap)] = HeapInUse();
    sample.values[static_cast<std::size_t>(Resource::Descriptors)] = CountEntries("/proc/self/fd", true);
    sample.values[static_cast<std::size_t>(Resource::Mappings)] = CountLines("/proc/self/maps");
    sample.values[static_cast<std::size_t>(Resource::Threads)] = CountEntries("/proc/self/task", false);
    return sample;
}

std::vector<std::string> ThreadNames()
{
    std::vector<std::string> names;
    const Folder dir(opendir("/proc/self/task"));
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        names.push_back(name);
    }
    return names;
}

}  // namespace checks::memory
