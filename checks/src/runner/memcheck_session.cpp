#include "runner/memcheck_session.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

namespace checks::runner {
namespace {

std::optional<MemcheckSession> g_session;

std::string FindOnPath(std::string_view program)
{
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        if (!folder.empty()) {
            const std::string candidate = std::string(folder) + "/" + std::string(program);
            if (access(candidate.c_str(), X_OK) == 0)
                return std::filesystem::absolute(candidate).string();
        }
        if (colon == std::string_view::npos)
            break;
        folders.remove_prefix(colon + 1);
    }
    return {};
}

}  // namespace

std::string StartMemcheckSession(const std::string& dataDir)
{
    MemcheckSession session;
    session.valgrind = FindOnPath("valgrind");
    if (session.valgrind.empty())
        return "--memcheck needs valgrind, which is not on PATH; install the Debian package valgrind";
    std::error_code error;
    session.executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error)
        return "--memcheck cannot name this program to run it under valgrind: " + error.message();
    const std::string suppressions = dataDir + "/memcheck.supp";
    if (access(suppressions.c_str(), R_OK) == 0)
        session.suppressions = suppressions;
    session.dataDir = dataDir;
    g_session = std::move(session);
    return {};
}

const MemcheckSession* ActiveMemcheckSession()
{
    return g_session ? &*g_session : nullptr;
}

}  // namespace checks::runner
