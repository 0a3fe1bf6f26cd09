// The RSA Wizard's save: the component writes its key as three files that
// share one base name.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <array>
#include <chrono>
#include <string>

namespace harness {

// The name up to its last '.', or the whole name when it has none.
std::string KeyFileBaseName(const std::string& fileName);

struct KeyFileSave {
    std::string path;      // base name plus ".wky", ".rky" or ".asy"
    MaybeFailure failure;  // why the file was not written, if it was not
};

// How long a save waits for another program's save into the same folder.
inline constexpr std::chrono::milliseconds kKeyFolderPatience{10000};

// SaveWkyFile, SaveRkyFile and SaveAsyFile, in that order; each is attempted
// even when one before it failed. The three saves hold an advisory lock on
// the folder, so that two programs saving to the same names cannot leave
// files of two different keys side by side; a folder that stays locked for
// longer than patience fails all three without a call. So does a name the
// system would refuse as too long (its reason is the failure's), since a
// component might otherwise write a file under it that nothing can open.
std::array<KeyFileSave, 3> SaveKeyFiles(IUserRSA& rsa, const std::string& baseName,
                                        std::chrono::milliseconds patience = kKeyFolderPatience);

}  // namespace harness
