#include "folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace harness {
namespace {

// How long one wait for a busy lock lasts before it is tried again. flock
// itself cannot wait for a bounded time.
constexpr std::chrono::milliseconds kRetryInterval{10};

}  // namespace

FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds patience)
{
    m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_state = State::Held;
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            break;  // Unavailable: no lock on this file system
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            m_state = State::Busy;
            break;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kRetryInterval, deadline - now));
    }
    ::close(m_fd);
    m_fd = -1;
}

FolderLock::~FolderLock()
{
    // Closing the last descriptor of the open file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

}  // namespace harness
