#include "runner/descriptor_io.h"

#include <unistd.h>

#include <cerrno>

namespace checks::runner {

int WriteAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

int ReadAll(int fd, const std::function<void(const char* bytes, std::size_t count)>& take)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            take(buffer, static_cast<std::size_t>(n));
        else if (n == 0)
            return 0;
        else if (errno != EINTR)
            return errno;
    }
}

}  // namespace checks::runner
