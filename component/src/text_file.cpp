#include "text_file.h"

#include <runtime/regular_file.h>

#include <unistd.h>

#include <cerrno>

namespace tarvel::component {

HRESULT ReadSmallTextFile(const char* path, std::size_t maxBytes, std::string& text)
{
    if (!path)
        return E_POINTER;
    // A FIFO or a device is refused without being waited on or opened.
    ReadOnlyRegularFile file(path);
    if (!file.IsOpen())
        return E_FAIL;
    const struct stat& info = file.Info();
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > maxBytes)
        return E_FAIL;

    // Read straight into the text, which the caller wipes: no other buffer
    // ever holds the contents. One byte of room beyond the limit shows a file
    // that grew past it while being read.
    text.assign(maxBytes + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        const ssize_t got = read(file.Descriptor(), text.data() + used, text.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return E_FAIL;
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used > maxBytes)
            return E_FAIL;
    }
    text.resize(used);  // shrinking keeps the storage, so the wipe reaches it all
    return S_OK;
}

}  // namespace tarvel::component
