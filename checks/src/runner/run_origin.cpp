#include "runner/run_origin.h"

#include "runner/descriptor_io.h"
#include "runner/tool_version.h"

#include <common/hex_format.h>
#include <component/openssl_ptr.h>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <runtime/regular_file.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

namespace checks::runner {
namespace {

// The first quoted or bare version after a key at the start of a line:
// `__version__ = "38.0.4"`, `Version: 38.0.4`.
std::string VersionIn(const std::filesystem::path& file, const std::regex& line)
{
    std::ifstream in(file);
    std::smatch match;
    for (std::string text; std::getline(in, text);)
        if (std::regex_search(text, match, line))
            return match[1];
    return {};
}

}  // namespace

std::optional<FileIdentity> IdentifyFile(const std::string& path, std::string& error)
{
    const ReadOnlyRegularFile file(path.c_str());
    if (!file.IsOpen()) {
        error = file.ErrorText();
        return std::nullopt;
    }
    const tarvel::MdCtxPtr context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        error = "SHA-256 is not available";
        return std::nullopt;
    }
    FileIdentity identity;
    const int readError = ReadAll(file.Descriptor(), [&](const char* bytes, std::size_t count) {
        identity.bytes += count;
        EVP_DigestUpdate(context.get(), bytes, count);
    });
    if (readError != 0) {
        error = std::strerror(readError);
        return std::nullopt;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
        error = "SHA-256 failed";
        return std::nullopt;
    }
    identity.sha256 = HexBytes(digest, length);
    return identity;
}

std::string VectorsVersion(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path path = fs::path(folder).lexically_normal();
    const fs::path package = path.has_filename() ? path : path.parent_path();
    if (const std::string version =
            VersionIn(package / "__about__.py", std::regex(R"re(^__version__\s*=\s*["']([^"']+)["'])re"));
        !version.empty())
        return version;
    // pip and Debian install the metadata beside the package, in
    // NAME-VERSION.dist-info/METADATA or NAME-VERSION.egg-info/PKG-INFO.
    const std::string stem = package.filename().string() + "-";
    for (const auto& entry : fs::directory_iterator(package.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(stem, 0) != 0)
            continue;
        for (const char* file : {"METADATA", "PKG-INFO"})
            if (const std::string version = VersionIn(entry.path() / file, std::regex(R"(^Version:\s*(\S+))"));
                !version.empty())
                return version;
    }
    return "unknown";
}

RunOrigin DescribeOrigin(const std::string& componentPath, const std::string& vectorsFolder)
{
    RunOrigin origin;
    origin.toolVersion = ToolVersion();
    origin.componentPath = componentPath;
    origin.component = IdentifyFile(componentPath, origin.componentError);
    origin.openssl = OpenSSL_version(OPENSSL_VERSION);
    origin.vectorsFolder = vectorsFolder;
    origin.vectorsVersion = VectorsVersion(vectorsFolder);
    return origin;
}

}  // namespace checks::runner
