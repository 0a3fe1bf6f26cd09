// Replacing a file so that readers see either the old or the whole new
// contents: write an unnamed file in the same folder, flush it, give it its
// name only when it is complete.
#pragma once

#include <tarvel/com.h>

#include <cstddef>

namespace tarvel::component {

// On any failure nothing new is left in the folder and an existing file at
// path is untouched; a process killed during the save leaves nothing behind
// either where the file system has unnamed files (O_TMPFILE).
enum class FileAccess {
    // Readable by others as far as the umask allows (0666 less the umask);
    // a file saved over keeps the permissions it had.
    Public,
    // Read and write for the owner alone (0600), whatever the umask.
    OwnerOnly,
};
HRESULT WriteFileAtomically(const char* path, const unsigned char* data, std::size_t size, FileAccess access);

}  // namespace tarvel::component
