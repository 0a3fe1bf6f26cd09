// An exclusive advisory lock (flock) on a folder, held for the life of the
// object. Programs that save a set of files into the folder under it never
// interleave their sets. Locking the folder itself, rather than a lock file
// named after the set, leaves nothing behind in it and cannot remove a file
// of the user's that happens to bear the lock file's name.
#pragma once

#include <chrono>
#include <string>

namespace harness {

class FolderLock {
public:
    enum class State {
        Held,         // this object holds the lock
        Busy,         // another holder kept it for longer than the patience given
        Unavailable,  // the folder cannot be opened or locked here (a missing or
                      // unreadable folder, a file system without flock)
    };

    // Waits at most patience for the lock.
    FolderLock(const std::string& folder, std::chrono::milliseconds patience);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State GetState() const { return m_state; }

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};

}  // namespace harness
