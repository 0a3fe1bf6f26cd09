// "tarvel-check bench": timing the component, a mode of its own beside the
// conformance runner; the executable picks one by its first word.
#pragma once

namespace bench {

// argv[0] is the word "bench". Returns the exit status.
int BenchMain(int argc, char** argv);

}  // namespace bench
