#include "native_path.h"

#include <filesystem>
#include <system_error>

std::string AbsoluteNativePath(const std::string& path)
{
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    // Without a working folder the name is kept as given.
    return failed ? path : absolute.lexically_normal().string();
}

std::string NativeFileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}
