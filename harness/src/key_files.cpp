#include "harness/key_files.h"

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

}  // namespace

std::string KeyFileBaseName(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::array<KeyFileSave, 3> SaveKeyFiles(IUserRSA& rsa, const std::string& baseName)
{
    std::array<KeyFileSave, 3> saves;
    for (std::size_t i = 0; i < saves.size(); ++i) {
        const KeyFile& file = kKeyFiles[i];
        saves[i].path = baseName + file.extension;
        if (const HRESULT hr = (rsa.*file.save)(saves[i].path.c_str()); FAILED(hr))
            saves[i].failure = FailedStatus(file.call, hr);
    }
    return saves;
}

}  // namespace harness
