#include "runner/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace checks::runner {

std::string UnreadableInputs(const std::vector<CheckDef>& checks)
{
    std::string lines;
    std::set<std::string> seen;
    for (const CheckDef& check : checks)
        for (const std::string& path : check.inputFiles) {
            if (!seen.insert(path).second)
                continue;
            // O_NONBLOCK: a FIFO planted in the vectors folder must not hang
            // the run; it is refused below as not a regular file.
            const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
            std::string problem;
            struct stat info {};
            if (fd < 0)
                problem = std::strerror(errno);
            else if (fstat(fd, &info) != 0)
                problem = std::strerror(errno);
            else if (!S_ISREG(info.st_mode))
                problem = "not a regular file";
            if (fd >= 0)
                close(fd);
            if (!problem.empty())
                lines += "  " + path + ": " + problem + " (" + check.name + ")\n";
        }
    return lines;
}

}  // namespace checks::runner
