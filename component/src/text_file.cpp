#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvel::component {
namespace {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char* path) : m_fd(open(path, O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    int Descriptor() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

HRESULT ReadSmallTextFile(const char* path, std::size_t maxBytes, std::string& text)
{
    if (!path)
        return E_POINTER;
    ReadOnlyFile file(path);
    if (file.Descriptor() < 0)
        return E_FAIL;
    struct stat info {};
    if (fstat(file.Descriptor(), &info) != 0 || !S_ISREG(info.st_mode))
        return E_FAIL;
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > maxBytes)
        return E_FAIL;

    // The size may change while reading; never read more than the limit.
    text.clear();
    text.reserve(maxBytes + 1);
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(file.Descriptor(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return E_FAIL;
        if (got == 0)
            break;
        if (text.size() + static_cast<std::size_t>(got) > maxBytes)
            return E_FAIL;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return S_OK;
}

}  // namespace tarvel::component
