#include "harness/key_files.h"

#include "folder_lock.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>

namespace harness {
namespace {

using SaveCall = HRESULT (IUserRSA::*)(const char* path);

struct KeyFile {
    const char* extension;
    const char* call;
    SaveCall save;
};

constexpr KeyFile kKeyFiles[] = {
    {".wky", "SaveWkyFile", &IUserRSA::SaveWkyFile},
    {".rky", "SaveRkyFile", &IUserRSA::SaveRkyFile},
    {".asy", "SaveAsyFile", &IUserRSA::SaveAsyFile},
};

// The system's own words when it would refuse path for its length: the
// whole path with its terminator must fit PATH_MAX, each name in it NAME_MAX.
std::optional<std::string> TooLongForTheSystem(std::string_view path)
{
    bool tooLong = path.size() >= PATH_MAX;
    for (std::size_t start = 0; !tooLong && start < path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        tooLong = slash - start > NAME_MAX;
        start = slash + 1;
    }
    if (!tooLong)
        return std::nullopt;
    return std::strerror(ENAMETOOLONG);
}

// The folder the file at path goes into.
std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string KeyFileBaseName(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::array<KeyFileSave, 3> SaveKeyFiles(IUserRSA& rsa, const std::string& baseName, std::chrono::milliseconds patience)
{
    std::array<KeyFileSave, 3> saves;
    for (std::size_t i = 0; i < saves.size(); ++i)
        saves[i].path = baseName + kKeyFiles[i].extension;

    // The extensions are of one length, so the three names stand or fall together.
    if (const std::optional<std::string> reason = TooLongForTheSystem(saves[0].path)) {
        for (std::size_t i = 0; i < saves.size(); ++i)
            saves[i].failure = CallFailure{kKeyFiles[i].call, E_INVALIDARG, *reason};
        return saves;
    }

    // The component writes each file itself, so the lock is the program's:
    // held from before the first save to after the last. Where the folder
    // cannot be locked at all the saves go ahead as they did without one.
    const std::string folder = FolderOf(saves[0].path);
    const FolderLock lock(folder, patience);
    if (lock.GetState() == FolderLock::State::Busy) {
        for (std::size_t i = 0; i < saves.size(); ++i)
            saves[i].failure =
                CallFailure{kKeyFiles[i].call, E_FAIL, "Another program is still saving keys in the folder " + folder};
        return saves;
    }
    for (std::size_t i = 0; i < saves.size(); ++i) {
        const KeyFile& file = kKeyFiles[i];
        if (const HRESULT hr = (rsa.*file.save)(saves[i].path.c_str()); FAILED(hr))
            saves[i].failure = FailedStatus(file.call, hr);
    }
    return saves;
}

}  // namespace harness
