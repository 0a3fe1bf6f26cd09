// The RSA Wizard's save: the component writes its key as three files that
// share one base name.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <array>
#include <string>

namespace harness {

// The name up to its last '.', or the whole name when it has none.
std::string KeyFileBaseName(const std::string& fileName);

struct KeyFileSave {
    std::string path;      // base name plus ".wky", ".rky" or ".asy"
    MaybeFailure failure;  // the save call's failing status, if it failed
};

// SaveWkyFile, SaveRkyFile and SaveAsyFile, in that order; each is attempted
// even when one before it failed.
std::array<KeyFileSave, 3> SaveKeyFiles(IUserRSA& rsa, const std::string& baseName);

}  // namespace harness
