#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvel::component {
namespace {

// One open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }

private:
    int m_fd;
};

// The file at path opened for reading, or -1 when it is no regular file or
// cannot be opened. The name is looked at first, because opening a FIFO waits
// for a writer and opening a device can have side effects; the open itself
// does not block (the name may have changed since the look) and never takes
// a terminal as the controlling one; info then says what was really opened.
int OpenRegularFile(const char* path, struct stat& info)
{
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

HRESULT ReadSmallTextFile(const char* path, std::size_t maxBytes, std::string& text)
{
    if (!path)
        return E_POINTER;
    // A FIFO or a device is refused without being waited on or opened.
    struct stat info {};
    const Descriptor file(OpenRegularFile(path, info));
    if (file.Get() < 0)
        return E_FAIL;
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > maxBytes)
        return E_FAIL;

    // Read straight into the text, which the caller wipes: no other buffer
    // ever holds the contents. One byte of room beyond the limit shows a file
    // that grew past it while being read.
    text.assign(maxBytes + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        const ssize_t got = read(file.Get(), text.data() + used, text.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return E_FAIL;
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used > maxBytes)
            return E_FAIL;
    }
    text.resize(used);  // shrinking keeps the storage, so the wipe reaches it all
    return S_OK;
}

}  // namespace tarvel::component
