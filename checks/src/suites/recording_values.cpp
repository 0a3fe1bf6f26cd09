#include "suites/recording_values.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace checks::support {
namespace {

std::mutex g_foldersMutex;
std::vector<std::string> g_folders;

std::string Sha256(const void* data, std::uint64_t count)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!EVP_Digest(data, count, digest, &size, EVP_sha256(), nullptr))
        return {};
    return std::string(reinterpret_cast<const char*>(digest), size);
}

}  // namespace

CallValue NumberValue(const char* name, std::uint64_t number)
{
    return {name, CallValue::Kind::Number, number, {}};
}

CallValue CountValue(const char* name, const std::uint32_t* count)
{
    return count ? NumberValue(name, *count) : CallValue{name, CallValue::Kind::Null, 0, {}};
}

CallValue BytesValue(const char* name, const void* data, std::uint64_t count)
{
    if (!data)
        return {name, CallValue::Kind::Null, 0, {}};
    // A digest of gigabytes would take longer than the check's own work.
    if (count > kMostRecordedBuffer)
        return {name, CallValue::Kind::Large, count, count <= kMostDigestedBuffer ? Sha256(data, count) : ""};
    return {name, CallValue::Kind::Bytes, count, std::string(static_cast<const char*>(data), count)};
}

CallValue TextValue(const char* name, const char* text)
{
    return TextValue(name, text, text ? std::strlen(text) : 0);
}

CallValue TextValue(const char* name, const char* text, std::uint64_t count)
{
    CallValue value = BytesValue(name, text, count);
    if (value.kind == CallValue::Kind::Bytes)
        value.kind = CallValue::Kind::Text;
    return value;
}

CallValue CapacityValue(const char* name, const void* buffer, std::uint64_t capacity)
{
    return {name, buffer ? CallValue::Kind::Capacity : CallValue::Kind::Null, capacity, {}};
}

CallValue PathValue(const char* name, const char* path)
{
    if (!path)
        return {name, CallValue::Kind::Null, 0, {}};
    // A check's scratch folder is the temporary folder's "PREFIX-XXXXXX"
    // (scratch_files.h); each is numbered as it is first seen.
    static const std::string temporary = std::filesystem::temp_directory_path().string() + "/";
    std::string text = path;
    if (text.compare(0, temporary.size(), temporary) == 0) {
        const std::size_t end = std::min(text.find('/', temporary.size()), text.size());
        const std::string folder = text.substr(0, end);
        const std::size_t dash = folder.rfind('-');
        if (dash != std::string::npos && dash > temporary.size() && folder.size() - dash == 7) {
            std::lock_guard lock(g_foldersMutex);
            auto known = std::find(g_folders.begin(), g_folders.end(), folder);
            if (known == g_folders.end())
                known = g_folders.insert(known, folder);
            text = "{scratch" + std::to_string(known - g_folders.begin() + 1) + "}" + text.substr(end);
        }
    }
    return {name, CallValue::Kind::Path, text.size(), text};
}

CallValue FileValue(const char* name, const char* path)
{
    std::ifstream file(path ? path : "", std::ios::binary);
    if (!path || !file)
        return {name, CallValue::Kind::Null, 0, {}};
    std::string bytes(kMostRecordedBuffer + 1, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kMostRecordedBuffer)
        return {name, CallValue::Kind::Large, bytes.size(), {}};
    return {name, CallValue::Kind::Bytes, bytes.size(), bytes};
}

}  // namespace checks::support
