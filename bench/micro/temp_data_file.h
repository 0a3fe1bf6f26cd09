// A file of pseudo-random bytes in the temporary folder, mapped read-only and
// already faulted in, so that the digest benchmarks time hashing alone and
// both sides of a pair see the same pages. The name is removed at once: the
// data lives exactly as long as the object, even when a run is interrupted.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

class TempDataFile {
public:
    explicit TempDataFile(std::size_t bytes);  // throws std::runtime_error
    ~TempDataFile();
    TempDataFile(const TempDataFile&) = delete;
    TempDataFile& operator=(const TempDataFile&) = delete;

    const std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    int m_fd = -1;
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace bench
