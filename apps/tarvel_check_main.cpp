// tarvel-check: the conformance runner, headless and Qt-free.
#include <checks/all_suites.h>
#include <checks/bench.h>
#include <checks/runner.h>

#include <cstring>

int main(int argc, char** argv)
{
    // Timing is a mode of its own: it runs in this process, not a child per
    // check, so nothing but the component's work is timed.
    if (argc > 1 && std::strcmp(argv[1], "bench") == 0)
        return bench::BenchMain(argc - 1, argv + 1);
    return checks::RunnerMain(argc, argv, checks::AllSuites(), checks::LibraryLoadCheck());
}
