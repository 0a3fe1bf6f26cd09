// Replacing a file so that readers see either the old or the whole new
// contents: write a temporary file beside it, flush it, rename it into place.
#pragma once

#include <tarvel/com.h>

#include <sys/types.h>

#include <cstddef>

namespace tarvel::component {

// On any failure the temporary file is gone and an existing file at path is
// untouched. The new file gets exactly the given permission bits.
HRESULT WriteFileAtomically(const char* path, const unsigned char* data, std::size_t size, mode_t mode);

}  // namespace tarvel::component
