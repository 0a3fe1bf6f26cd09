#include "atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

namespace tarvel::component {
namespace {

// How often a fresh temporary name is tried before giving up.
constexpr int kNameAttempts = 32;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    void Reset(int fd)
    {
        Close();
        m_fd = fd;
    }
    // Close errors matter: some file systems report a failed write only here.
    bool Close() { return m_fd < 0 || ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// A short name for a temporary entry, whatever the length of the target's
// name, so that every name the folder accepts can be saved.
std::string TemporaryName()
{
    static std::uint64_t counter = 0;
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != sizeof bits)
        bits = (std::uint64_t(getpid()) << 32) ^ ++counter;
    char name[32];
    std::snprintf(name, sizeof name, ".tarvel-%016llx", static_cast<unsigned long long>(bits));
    return name;
}

// The new contents of one save: an unnamed file in the target's folder where
// the file system has them, else a file under a temporary name. Removed
// again unless committed.
class PendingFile {
public:
    // The umask applies to createMode, as for any new file.
    PendingFile(int folder, mode_t createMode) : m_folder(folder)
    {
        m_file.Reset(openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode));
        for (int i = 0; m_file.Get() < 0 && i < kNameAttempts; ++i) {
            std::string name = TemporaryName();
            m_file.Reset(
                openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode));
            if (m_file.Get() >= 0)
                m_name = std::move(name);
            else if (errno != EEXIST)
                break;
        }
    }
    ~PendingFile()
    {
        m_file.Close();
        if (!m_committed && !m_name.empty())
            unlinkat(m_folder, m_name.c_str(), 0);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool IsOpen() const { return m_file.Get() >= 0; }

    bool WriteAll(const unsigned char* data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t written = write(m_file.Get(), data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    bool SetMode(mode_t mode) { return fchmod(m_file.Get(), mode) == 0; }
    bool Flush() { return fsync(m_file.Get()) == 0; }

    // Gives the complete file the name target, replacing what had it.
    bool CommitAs(const std::string& target)
    {
        if (m_name.empty()) {
            // Nothing had the name: the file appears under it in one step.
            if (LinkAs(target)) {
                m_name = target;
            } else {
                if (errno != EEXIST)
                    return false;
                // Linking never replaces, so a short name first, then the
                // rename that does.
                for (int i = 0; m_name.empty() && i < kNameAttempts; ++i) {
                    std::string name = TemporaryName();
                    if (LinkAs(name))
                        m_name = std::move(name);
                    else if (errno != EEXIST)
                        return false;
                }
                if (m_name.empty())
                    return false;
            }
        }
        if (!m_file.Close())
            return false;
        if (m_name != target && renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0)
            return false;
        m_committed = true;
        return true;
    }

private:
    // Gives the unnamed file a name. Through /proc, which needs no privilege;
    // AT_EMPTY_PATH is the way without /proc but needs CAP_DAC_READ_SEARCH.
    bool LinkAs(const std::string& name)
    {
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", m_file.Get());
        if (linkat(AT_FDCWD, self, m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        return linkat(m_file.Get(), "", m_folder, name.c_str(), AT_EMPTY_PATH) == 0;
    }

    int m_folder;
    Descriptor m_file;
    std::string m_name;  // the file's name in the folder; empty while unnamed
    bool m_committed = false;
};

}  // namespace

HRESULT WriteFileAtomically(const char* path, const unsigned char* data, std::size_t size, FileAccess access)
{
    if (!path || (!data && size > 0))
        return E_POINTER;
    const std::string target(path);
    if (target.empty() || target.back() == '/')
        return E_INVALIDARG;
    // The folder and the name are opened apart, which would let a path longer
    // than the system takes be saved; nothing could open it again (the loads
    // among them), so such a path fails here as it does everywhere else.
    if (target.size() >= PATH_MAX)
        return E_FAIL;

    // Everything happens relative to the folder, so the short temporary name
    // fits wherever the target's name does.
    const auto slash = target.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    Descriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return E_FAIL;

    // An owner-only file is made so from the start and set so exactly; a
    // public one takes the permissions of the file it replaces, else what the
    // umask leaves of 0666.
    const bool ownerOnly = access == FileAccess::OwnerOnly;
    struct stat replaced {};
    const bool keepsMode =
        !ownerOnly && fstatat(folder.Get(), name.c_str(), &replaced, 0) == 0 && S_ISREG(replaced.st_mode);
    {
        PendingFile file(folder.Get(), ownerOnly ? 0600 : 0666);
        if (!file.IsOpen())
            return E_FAIL;
        if ((ownerOnly && !file.SetMode(0600)) || (keepsMode && !file.SetMode(replaced.st_mode & 0777)))
            return E_FAIL;
        if (!file.WriteAll(data, size) || !file.Flush() || !file.CommitAs(name))
            return E_FAIL;
    }
    // Makes the new name itself durable. Best effort: the file is already in
    // place, so a failure here is no reason to report the save as failed.
    fsync(folder.Get());
    return S_OK;
}

}  // namespace tarvel::component
