// Whether Qt will find a display to open windows on, asked before the
// QApplication exists: without one Qt aborts with a terse message of its own.
#pragma once

#include <string>

struct DisplayCheck {
    bool usable = true;
    std::string problem;  // why not, in one sentence, when !usable
};

// platformOption: the value of a "-platform" option on the command line, or
// "" when there is none.
DisplayCheck CheckDisplay(const std::string& platformOption);
