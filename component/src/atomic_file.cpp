#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarvel::component {
namespace {

// The temporary file of one save: closed and removed unless committed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target)
    {
        std::vector<char> name(target.begin(), target.end());
        const char suffix[] = ".XXXXXX";
        name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminator
        m_fd = mkostemp(name.data(), O_CLOEXEC);
        if (m_fd >= 0)
            m_name.assign(name.data());
    }
    ~TemporaryFile()
    {
        Close();
        if (!m_committed && !m_name.empty())
            unlink(m_name.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    bool WriteAll(const unsigned char* data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t written = write(m_fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    bool SetMode(mode_t mode) { return fchmod(m_fd, mode) == 0; }
    bool Flush() { return fsync(m_fd) == 0; }

    // Close errors matter: some file systems report a failed write only here.
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }

    bool RenameTo(const std::string& target)
    {
        if (std::rename(m_name.c_str(), target.c_str()) != 0)
            return false;
        m_committed = true;
        return true;
    }

private:
    int m_fd = -1;
    std::string m_name;
    bool m_committed = false;
};

// Makes the rename itself durable. Best effort: the new file is already in
// place, so a failure here is no reason to report the save as failed.
void FlushFolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

HRESULT WriteFileAtomically(const char* path, const unsigned char* data, std::size_t size, mode_t mode)
{
    if (!path || (!data && size > 0))
        return E_POINTER;
    const std::string target(path);
    if (target.empty() || target.back() == '/')
        return E_INVALIDARG;

    TemporaryFile temporary(target);
    if (!temporary.IsOpen())
        return E_FAIL;
    if (!temporary.SetMode(mode) || !temporary.WriteAll(data, size) || !temporary.Flush() || !temporary.Close())
        return E_FAIL;
    if (!temporary.RenameTo(target))
        return E_FAIL;
    FlushFolderOf(target);
    return S_OK;
}

}  // namespace tarvel::component
