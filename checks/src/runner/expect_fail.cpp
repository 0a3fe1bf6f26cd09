#include "runner/expect_fail.h"

#include <filesystem>
#include <fstream>

namespace checks::runner {

std::optional<std::map<std::string, std::string>> ReadExpectFail(const std::string& path, std::string& error)
{
    // A folder opens, then reads as an empty list: every check it was
    // meant to excuse would fail the run with no word about the list.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "--expect-fail " + path + ": cannot be read: it is a folder, not a file";
        return std::nullopt;
    }
    std::ifstream file(path);
    if (!file) {
        error = "--expect-fail " + path + ": cannot be read";
        return std::nullopt;
    }
    constexpr const char* kBlanks = " \t\r";
    std::map<std::string, std::string> listed;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::size_t start = line.find_first_not_of(kBlanks);
        if (start == std::string::npos || line[start] == '#')
            continue;
        const std::size_t nameEnd = line.find_first_of(kBlanks, start);
        const std::size_t reasonStart =
            line.find_first_not_of(kBlanks, nameEnd == std::string::npos ? line.size() : nameEnd);
        const std::string where = "--expect-fail " + path + ", line " + std::to_string(number) + ": ";
        if (reasonStart == std::string::npos) {
            error = where + "a check name and a reason are expected (\"CHECK  reason\")";
            return std::nullopt;
        }
        const std::string name = line.substr(start, nameEnd - start);
        std::string reason = line.substr(reasonStart);
        reason.erase(reason.find_last_not_of(kBlanks) + 1);
        if (!listed.emplace(name, reason).second) {
            error = where + name + " is listed twice";
            return std::nullopt;
        }
    }
    return listed;
}

}  // namespace checks::runner
