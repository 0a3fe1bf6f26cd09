// A folder of a check's own under the system's temporary folder, removed with
// its files when the check is done with it.
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

}  // namespace checks::support
