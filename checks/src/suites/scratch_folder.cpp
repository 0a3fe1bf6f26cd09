#include "suites/scratch_folder.h"

#include <stdlib.h>

#include <filesystem>

namespace checks::support {

ScratchFolder::ScratchFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

bool ScratchFolder::Ready(Context& ctx) const
{
    if (m_path.empty())
        ctx.Skip("no temporary folder for the check's files");
    return !m_path.empty();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

}  // namespace checks::support
