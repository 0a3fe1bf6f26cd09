// "tarvel-check bench": the runner's timing mode.
#pragma once

namespace bench {

// argv[0] is the word "bench". Returns the exit status.
int BenchMain(int argc, char** argv);

}  // namespace bench
