#include "runtime/mapped_file.h"

#include "runtime/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// What an empty file's data points at: a valid address with no bytes behind
// it that anyone may read.
constexpr std::uint8_t kNoBytes[1] = {0};

// Below this a mapping is taken down faster than a thread is started.
constexpr std::uint64_t kBackgroundUnmapBytes = std::uint64_t{64} << 20;

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

}  // namespace

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_base(std::exchange(other.m_base, nullptr)),
      m_size(std::exchange(other.m_size, 0)), m_error(std::move(other.m_error))
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

void MappedFile::CloseInBackground()
{
    if (m_base && m_size >= kBackgroundUnmapBytes) {
        void* base = std::exchange(m_base, nullptr);
        const auto length = static_cast<std::size_t>(m_size);
        try {
            std::thread([base, length] { munmap(base, length); }).detach();
        } catch (const std::system_error&) {
            munmap(base, length);  // no thread to be had: here, then
        }
    }
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

    // Only a regular file is opened; see regular_file.h.
    ReadOnlyRegularFile file(path.c_str());
    if (!file.IsOpen())
        return Fail(Status::CannotOpen, file.ErrorText());
    const struct stat opened = file.Info();
    m_fd = file.Release();

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
