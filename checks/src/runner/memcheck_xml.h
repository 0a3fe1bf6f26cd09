// What valgrind's memcheck reported about one process, read from the XML it
// writes with --xml=yes (protocol 4).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace checks::runner {

struct MemcheckFrame {
    std::string obj;   // the shared object or executable, an absolute path
    std::string fn;    // the function, demangled, when symbols are known
    std::string file;  // source file and line, when debug information is there
    int line = 0;
};

struct MemcheckError {
    std::string kind;  // "InvalidRead", "UninitCondition", "Leak_DefinitelyLost", ...
    std::string what;  // "Invalid read of size 4", "1,024 bytes in 1 blocks are definitely lost ..."
    int thread = 0;    // valgrind's thread number
    // Where it happened (for a leak: where the block was allocated).
    std::vector<MemcheckFrame> stack;
    // What memcheck says about the address ("Address 0x... is 8 bytes
    // inside a block of size 32 free'd"), and where that block was freed or
    // allocated.
    std::string auxWhat;
    std::vector<MemcheckFrame> auxStack;
    // The last message the process sent through VALGRIND_PRINTF from the same
    // thread before this error: the runner's note of the call in progress.
    std::string lastClientMessage;

    bool IsLeak() const { return kind.rfind("Leak_", 0) == 0; }
};

// Every complete error in xml, in order. A document cut short (a process
// killed at its time limit) gives the errors before the cut.
std::vector<MemcheckError> ParseMemcheckXml(std::string_view xml);

}  // namespace checks::runner
