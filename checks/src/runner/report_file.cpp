#include "runner/report_file.h"

#include "runner/descriptor_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace checks::runner {
namespace {

// A descriptor closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    // Closes now, for the close's own error (a full disk may only show there).
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || close(fd) == 0;
    }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

std::string Problem(const std::string& path, const std::string& why)
{
    return path + ": " + why;
}

std::string Problem(const std::string& path, int error)
{
    return Problem(path, std::strerror(error));
}

// Into a device or FIFO as it is: no O_CREAT, no O_TRUNC. O_NONBLOCK makes
// opening a FIFO without a reader fail (ENXIO) instead of waiting for one.
std::string WriteInto(const std::string& path, const std::string& text)
{
    Descriptor fd(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0)
        return Problem(path, errno == ENXIO ? std::string("no process reads it") : std::strerror(errno));
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0)
        return Problem(path, errno);
    if (!S_ISCHR(info.st_mode) && !S_ISBLK(info.st_mode) && !S_ISFIFO(info.st_mode))
        return Problem(path, "changed while it was opened");
    const int flags = fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Problem(path, errno);
    if (const int error = WriteAll(fd.Get(), text))
        return Problem(path, error);
    if (!fd.Close())
        return Problem(path, errno);
    return {};
}

// A name no file in the folder has yet, short so that it fits wherever the
// report's own name fits.
std::string FreshName(std::mt19937_64& random)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = ".tc-";
    for (int i = 0; i < 8; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// A new file in path's folder, renamed onto path. The folder is opened once
// and the names used relative to it, so a path as long as the system allows
// still works and the folder cannot change under the run.
std::string Replace(const std::string& path, const std::string& text)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return Problem(path, EISDIR);
    Descriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        return Problem(path, errno);

    std::mt19937_64 random(std::random_device{}());
    std::string temporary;
    Descriptor fd;
    for (int attempt = 0; attempt < 100 && fd.Get() < 0; ++attempt) {
        temporary = FreshName(random);
        fd.Reset(openat(dir.Get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && errno != EEXIST)
            return Problem(path, errno);
    }
    if (fd.Get() < 0)
        return Problem(path, "no free temporary name in its folder");
    int error = WriteAll(fd.Get(), text);
    if (!error && !fd.Close())
        error = errno;
    if (!error && renameat(dir.Get(), temporary.c_str(), dir.Get(), name.c_str()) != 0)
        error = errno;
    if (error) {
        unlinkat(dir.Get(), temporary.c_str(), 0);
        return Problem(path, error);
    }
    return {};
}

}  // namespace

std::string WriteReportFile(const std::string& path, const std::string& text)
{
    if (path.empty())
        return "an empty path";
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? Replace(path, text) : Problem(path, errno);
    const bool link = S_ISLNK(info.st_mode);
    if (link && stat(path.c_str(), &info) != 0)
        return Problem(path, errno == ENOENT ? std::string("a symbolic link to nothing") : std::strerror(errno));
    if (S_ISREG(info.st_mode)) {
        if (!link)
            return Replace(path, text);
        // The file the link points to is replaced, in its own folder.
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved))
            return Problem(path, errno);
        return Replace(resolved, text);
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode))
        return WriteInto(path, text);
    if (S_ISDIR(info.st_mode))
        return Problem(path, EISDIR);
    return Problem(path, "neither a regular file, a device nor a FIFO");
}

bool SameFile(const std::string& first, const std::string& second)
{
    struct stat a {
    }, b{};
    if (stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    std::error_code error;
    const auto canonical = [&](const std::string& path) {
        const auto absolute = std::filesystem::absolute(path, error);
        const auto resolved = std::filesystem::weakly_canonical(absolute, error);
        return error ? absolute.lexically_normal() : resolved;
    };
    return canonical(first) == canonical(second);
}

}  // namespace checks::runner
