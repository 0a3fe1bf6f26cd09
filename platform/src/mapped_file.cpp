#include "platform/mapped_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// What an empty file's data points at: a valid address with no bytes behind
// it that anyone may read.
constexpr std::uint8_t kNoBytes[1] = {0};

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

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

}  // namespace

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_base(std::exchange(other.m_base, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_error(std::move(other.m_error))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_base = std::exchange(other.m_base, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_error = std::move(other.m_error);
    }
    return *this;
}

MappedFile::~MappedFile()
{
    Close();
}

void MappedFile::Close()
{
    if (m_base)
        munmap(m_base, static_cast<std::size_t>(m_size));
    if (m_fd >= 0)
        ::close(m_fd);
    m_base = nullptr;
    m_fd = -1;
    m_size = 0;
}

MappedFile::Status MappedFile::Fail(Status status, std::string reason)
{
    Close();
    m_error = std::move(reason);
    return status;
}

MappedFile::Status MappedFile::Open(const std::string& path, std::uint64_t maxBytes)
{
    Close();
    m_error.clear();

    // Look before opening: opening a FIFO waits for a writer, and opening a
    // device can have side effects.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0)
        return Fail(Status::CannotOpen, ErrnoText(errno));
    if (!S_ISREG(before.st_mode))
        return Fail(Status::CannotOpen, KindOf(before.st_mode));

    // O_NONBLOCK because the name may have been replaced by a FIFO since the
    // look above; the second look on the descriptor settles what was opened.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        return Fail(Status::CannotOpen, ErrnoText(errno));
    struct stat opened {};
    if (::fstat(m_fd, &opened) != 0)
        return Fail(Status::CannotOpen, ErrnoText(errno));
    if (!S_ISREG(opened.st_mode))
        return Fail(Status::CannotOpen, KindOf(opened.st_mode));

    const auto size = static_cast<std::uint64_t>(opened.st_size);
    if (size > maxBytes)
        return Fail(Status::TooLarge, "the file is too large");
    if constexpr (sizeof(std::size_t) < sizeof(std::uint64_t)) {
        if (size > SIZE_MAX)
            return Fail(Status::CannotMap, "the file does not fit in the address space");
    }
    m_size = size;
    if (size == 0)
        return Status::Ok;  // nothing to map: mmap refuses a length of 0

    void* base = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_SHARED, m_fd, 0);
    if (base == MAP_FAILED)
        return Fail(Status::CannotMap, ErrnoText(errno));
    m_base = base;
    return Status::Ok;
}

const std::uint8_t* MappedFile::Data() const
{
    if (m_base)
        return static_cast<const std::uint8_t*>(m_base);
    return m_fd >= 0 ? kNoBytes : nullptr;
}
