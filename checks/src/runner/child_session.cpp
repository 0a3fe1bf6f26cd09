#include "runner/child_session.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

namespace checks::runner {
namespace {

std::optional<ChildSession> g_session;

std::string ThisProgram(std::string& executable)
{
    std::error_code error;
    executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
    return error ? error.message() : std::string();
}

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
    ChildSession session;
    session.valgrind = FindOnPath("valgrind");
    if (session.valgrind.empty())
        return "--memcheck needs valgrind, which is not on PATH; install the Debian package valgrind";
    if (const std::string error = ThisProgram(session.executable); !error.empty())
        return "--memcheck cannot name this program to run it under valgrind: " + error;
    const std::string suppressions = dataDir + "/memcheck.supp";
    if (access(suppressions.c_str(), R_OK) == 0)
        session.suppressions = suppressions;
    session.dataDir = dataDir;
    g_session = std::move(session);
    return {};
}

std::string StartExecSession(const std::string& dataDir)
{
    ChildSession session;
    if (const std::string error = ThisProgram(session.executable); !error.empty())
        return "cannot name this program to run each check in: " + error;
    session.dataDir = dataDir;
    g_session = std::move(session);
    return {};
}

const ChildSession* ActiveChildSession()
{
    return g_session ? &*g_session : nullptr;
}

}  // namespace checks::runner
