// A folder of a check's own under the system's temporary folder, removed with
// its files when the check is done with it.
#pragma once

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

private:
    std::string m_path;
};

}  // namespace checks::support
