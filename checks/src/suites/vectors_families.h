// The families of the vectors suite, one file each, and where their files are.
#pragma once

#include <checks/check.h>

#include <string>
#include <vector>

namespace checks::vectors {

// SHA-1 short, long and Monte Carlo messages; MD5's RFC 1321 suite.
std::vector<CheckDef> HashVectorChecks(const SuiteOptions& opts);
// SHA-1 and MD5 lengths around the block boundary, and the largest input.
std::vector<CheckDef> HashBoundaryChecks(const SuiteOptions& opts);
// The DES known-answer tables.
std::vector<CheckDef> DesVectorChecks(const SuiteOptions& opts);
// Raw RSA with the keys of the PKCS #1 v1.5 encryption vectors.
std::vector<CheckDef> RsaVectorChecks(const SuiteOptions& opts);

// A file of the third-party vector folder, by its path inside it.
inline std::string PackagePath(const SuiteOptions& opts, const std::string& relative)
{
    return opts.vectorsDir + "/" + relative;
}
// A file of Tarvel's own vector folder.
inline std::string DataPath(const SuiteOptions& opts, const std::string& name)
{
    return opts.dataDir + "/vectors/" + name;
}

// The check, with the files it reads listed for the runner to look at first.
inline CheckDef ReadingFiles(CheckDef check, std::vector<std::string> files)
{
    check.inputFiles = std::move(files);
    return check;
}

}  // namespace checks::vectors
