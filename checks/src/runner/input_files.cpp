#include "runner/input_files.h"

#include <runtime/regular_file.h>

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
            // A FIFO planted in the vectors folder must not hang the run.
            if (const ReadOnlyRegularFile file(path.c_str()); !file.IsOpen())
                lines += "  " + path + ": " + file.ErrorText() + " (" + check.name + ")\n";
        }
    return lines;
}

}  // namespace checks::runner
