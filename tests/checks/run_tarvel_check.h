// tarvel-check run as a user runs it: a separate process with its own
// environment, its exit status and everything it printed.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

struct TarvelCheckRun {
    int exitStatus = -1;
    std::string output;  // stdout and stderr, in the order they came
};

inline TarvelCheckRun RunTarvelCheck(const std::string& environment, const std::string& arguments)
{
    const std::string command = "env " + environment + " " TARVEL_CHECK " " + arguments + " 2>&1";
    TarvelCheckRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
