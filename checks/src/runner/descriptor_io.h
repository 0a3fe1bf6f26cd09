// Whole reads and writes on a file descriptor, retrying what the kernel cuts
// short or a signal interrupts. Neither allocates, so a forked child may
// write with them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace checks::runner {

// Writes all of text; 0 or the errno of the failing write (EIO for a write
// of nothing).
int WriteAll(int fd, const std::string& text);

// Reads to the end, handing each chunk to take as it comes; 0 or the errno of
// the failing read.
int ReadAll(int fd, const std::function<void(const char* bytes, std::size_t count)>& take);

}  // namespace checks::runner
