// A check's own files: a folder under the system's temporary folder, removed
// with its files when the check is done with it, and whole-file reads and
// writes.
#pragma once

#include <checks/check.h>

#include <string>

namespace checks::support {

class ScratchFolder {
public:
    // prefix names the folder ("tarvel-check" gives /tmp/tarvel-check-XXXXXX);
    // Path() is "" when it could not be made.
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // True when the folder was made; otherwise the check is skipped, saying
    // so, as a machine without a temporary folder says nothing of the
    // component.
    bool Ready(Context& ctx) const;

private:
    std::string m_path;
};

// The file's bytes; "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Replaces the file's bytes with text; false when they were not all written.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace checks::support
