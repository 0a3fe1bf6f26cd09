// Where a run's verdict came from, as each report records it, so a failure
// can be matched to the very binary and data it was found with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace checks::runner {

struct FileIdentity {
    std::uint64_t bytes = 0;
    std::string sha256;  // lower-case hex
};

struct RunOrigin {
    std::string toolVersion;
    std::string componentPath;
    // Absent when the file could not be read; componentError says why.
    std::optional<FileIdentity> component;
    std::string componentError;
    std::string openssl;  // OpenSSL_version(OPENSSL_VERSION)
    std::string vectorsFolder;
    std::string vectorsVersion;  // "unknown" when the folder does not say
};

// Size and SHA-256 of a regular file, read through; nullopt with error set
// otherwise.
std::optional<FileIdentity> IdentifyFile(const std::string& path, std::string& error);

// The version of the cryptography_vectors Python package a folder is (its
// __about__.py, or the metadata installed beside it), else "unknown".
std::string VectorsVersion(const std::string& folder);

RunOrigin DescribeOrigin(const std::string& componentPath, const std::string& vectorsFolder);

}  // namespace checks::runner
