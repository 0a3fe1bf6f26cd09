#include "runtime/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a pipe (FIFO), not a regular file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    return "it is not a regular file";
}

}  // namespace

ReadOnlyRegularFile::ReadOnlyRegularFile(const char* path)
{
    if (!path)
        m_error = "no file name";
    else
        m_error = Open(path);
    if (!m_error.empty() && m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string ReadOnlyRegularFile::Open(const char* path)
{
    struct stat before {};
    if (::stat(path, &before) != 0)
        return std::strerror(errno);
    if (!S_ISREG(before.st_mode))
        return KindOf(before.st_mode);
    m_fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        return std::strerror(errno);
    if (::fstat(m_fd, &m_info) != 0)
        return std::strerror(errno);
    if (!S_ISREG(m_info.st_mode))
        return KindOf(m_info.st_mode);
    return {};
}

ReadOnlyRegularFile::~ReadOnlyRegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string NonRegularFileReason(const char* path)
{
    struct stat info {};
    if (!path || ::stat(path, &info) != 0 || S_ISREG(info.st_mode))
        return {};
    return KindOf(info.st_mode);
}

int ReadOnlyRegularFile::Release()
{
    return std::exchange(m_fd, -1);
}
