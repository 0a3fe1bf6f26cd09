#include "temp_data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace bench {
namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Closes a descriptor on every path out of the constructor.
class FdOwner {
public:
    explicit FdOwner(int fd) : m_fd(fd) {}
    ~FdOwner()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FdOwner(const FdOwner&) = delete;
    FdOwner& operator=(const FdOwner&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// xorshift64*: incompressible enough that no layer can shortcut the data,
// and far faster than a real generator for hundreds of megabytes.
void FillPseudoRandom(std::vector<std::uint64_t>& chunk, std::uint64_t& state)
{
    for (auto& word : chunk) {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        word = state * 0x2545F4914F6CDD1DULL;
    }
}

void WriteAll(int fd, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t written = ::write(fd, p, bytes);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail("writing the benchmark data file");
        }
        p += written;
        bytes -= static_cast<std::size_t>(written);
    }
}

}  // namespace

TempDataFile::TempDataFile(std::size_t bytes) : m_size(bytes)
{
    std::string path = (std::filesystem::temp_directory_path() / "tarvel-bench-XXXXXX").string();
    FdOwner writer(::mkstemp(path.data()));
    if (writer.Get() < 0)
        Fail("creating " + path);
    FdOwner reader(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    ::unlink(path.c_str());
    if (reader.Get() < 0)
        Fail("reopening " + path);

    constexpr std::size_t kChunkWords = (1u << 20) / sizeof(std::uint64_t);
    std::vector<std::uint64_t> chunk(kChunkWords);
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    for (std::size_t left = bytes; left > 0;) {
        FillPseudoRandom(chunk, state);
        const std::size_t n = std::min(left, chunk.size() * sizeof(std::uint64_t));
        WriteAll(writer.Get(), chunk.data(), n);
        left -= n;
    }

    void* base = ::mmap(nullptr, bytes, PROT_READ, MAP_SHARED | MAP_POPULATE, reader.Get(), 0);
    if (base == MAP_FAILED)
        Fail("mapping the benchmark data file");
    m_data = static_cast<const std::uint8_t*>(base);
    m_fd = reader.Release();
}

TempDataFile::~TempDataFile()
{
    ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
    ::close(m_fd);
}

}  // namespace bench
