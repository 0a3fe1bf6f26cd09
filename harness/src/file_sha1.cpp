#include "harness/file_sha1.h"

#include "runtime/mapped_file.h"
#include "runtime/mapping_prefetch.h"
#include "runtime/runtime.h"
#include "runtime/sigbus_guard.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace harness {
namespace {

// The component takes a 32-bit byte count; a larger file could only be
// hashed in part, and its digest would be wrong.
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFull;

// What says the file's bytes are still those that were mapped. A truncation
// inside the last page raises no fault (the rest of the page reads as
// zeros) and a rewrite in place raises none at all; both move these.
struct FileVersion {
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileVersion& other) const
    {
        return size == other.size && SameTime(modified, other.modified) && SameTime(changed, other.changed);
    }

private:
    static bool SameTime(const timespec& a, const timespec& b)
    {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }
};

bool ReadVersion(int fd, FileVersion& version)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return false;
    version.size = info.st_size;
    version.modified = info.st_mtim;
    version.changed = info.st_ctim;
    return true;
}

// Files in /proc and the like report a size of 0 but hand out bytes when
// read; mapping them gives nothing, so their digest would be that of "".
bool HasBytesDespiteNoSize(int fd)
{
    unsigned char byte = 0;
    ssize_t got;
    do {
        got = ::pread(fd, &byte, 1, 0);
    } while (got < 0 && errno == EINTR);
    return got > 0;
}

CallFailure ShrankWhileHashed(const std::string& path)
{
    return UnusableResult("IHashSHA1::HashData",
                          path + " changed while it was hashed (it became shorter), so no digest is shown.");
}

CallFailure ChangedWhileHashed(const std::string& path)
{
    return UnusableResult("IHashSHA1::HashData", path + " changed while it was hashed, so no digest is shown.");
}

}  // namespace

Result<FileSha1> Sha1OfFile(IHashSHA1& sha1, const std::string& path)
{
    MappedFile file;
    switch (file.Open(path, kLargestFile)) {
    case MappedFile::Status::Ok:
        break;
    case MappedFile::Status::CannotOpen:
        return UnusableResult("open", "Cannot open " + path + ": " + file.ErrorText() + ".");
    case MappedFile::Status::TooLarge:
        return UnusableResult("open", path + " is 4 GiB or larger. Files of that size cannot be hashed here: "
                                             "the component takes a 32-bit byte count. Nothing was hashed.");
    case MappedFile::Status::CannotMap:
        return UnusableResult("map", "Cannot map " + path + " into memory: " + file.ErrorText() + ".");
    }

    FileVersion before;
    if (!ReadVersion(file.Descriptor(), before))
        return UnusableResult("open", "Cannot open " + path + ": " + std::strerror(errno) + ".");
    if (file.Size() == 0 && HasBytesDespiteNoSize(file.Descriptor()))
        return UnusableResult("map", path + " reports no size but has content, so it cannot be mapped. "
                                            "Nothing was hashed.");

    FileSha1 hashed;
    bool shrank = false;
    bool changed = false;

    const std::uint32_t start = GetTickCount();
    hashed.bytes = file.Size();
    HRESULT hr;
    {
        SigbusGuard guard(file.Data(), file.Size());
        const MappingPrefetch prefetch(file.Data(), file.Size());
        hr = sha1.HashData(file.Data(), static_cast<std::uint32_t>(hashed.bytes));
        shrank = guard.Tripped();
    }
    if (SUCCEEDED(hr) && !shrank) {
        FileVersion after;
        changed = !ReadVersion(file.Descriptor(), after) || !(after == before) ||
                  static_cast<std::uint64_t>(after.size) != hashed.bytes;
    }
    if (SUCCEEDED(hr) && !shrank && !changed) {
        if (hr = sha1.GetHash(reinterpret_cast<std::uint8_t*>(hashed.digest.data())); FAILED(hr))
            return FailedStatus("IHashSHA1::GetHash", hr);
    }
    const std::uint32_t end = GetTickCount();
    // The result is known; the mapping's teardown need not delay it.
    file.CloseInBackground();

    if (shrank)
        return ShrankWhileHashed(path);
    if (FAILED(hr))
        return FailedStatus("IHashSHA1::HashData", hr);
    if (changed)
        return ChangedWhileHashed(path);
    hashed.milliseconds = end - start;
    return hashed;
}

}  // namespace harness
