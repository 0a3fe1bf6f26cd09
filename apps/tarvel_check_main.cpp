// tarvel-check: the conformance runner, headless and Qt-free.
#include <checks/runner.h>

int main(int argc, char** argv)
{
    return checks::RunnerMain(argc, argv, checks::AllSuites());
}
