#include "suites/scratch_files.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace checks::support
