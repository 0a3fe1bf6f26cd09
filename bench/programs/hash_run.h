// One timed SHA-1 of a whole file, as sha1_file_timer reports it.
#pragma once

#include <string>
#include <time.h>

struct HashRun {
    double seconds = 0;     // wall time of the whole step, file opening included
    double cpuSeconds = 0;  // CPU time of the calling thread over the same step
    std::string sha1;       // the digest, 40 hex digits in standard byte order
    std::string shown;      // what the program itself displayed as its timing
};

// CPU time used so far by the calling thread, page faults on a mapping
// included; unlike wall time, other work on the machine does not add to it.
inline double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The SHA-1 dialog (offscreen) answering one press of FileName with the file
// picked through the prompt seam. Throws std::runtime_error with the message
// the dialog showed when it could not hash the file.
HashRun RunDialogFileName(const std::string& path);

// What a program without any framework would do: open, map read-only, one
// EVP_Digest over the mapping, unmap and close.
HashRun RunMappedDigest(const std::string& path);

// The same digest with no mapping: the file read in blocks into one buffer,
// as the command-line tools do, so the cost of touching freshly mapped pages
// can be told apart from the cost of hashing.
HashRun RunReadDigest(const std::string& path);
