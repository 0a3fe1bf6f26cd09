// Which of memcheck's errors are the component's, told as a check's
// failures; the rest are told as a note, so the checker's own side stays in
// view without failing anyone.
#pragma once

#include "runner/memcheck_xml.h"

#include <string>
#include <vector>

namespace checks::runner {

struct MemcheckFindings {
    // One message per error with a frame in the component's library, each
    // naming the rule, memcheck's kind, the call in progress and the frames.
    std::vector<std::string> failures;
    // Errors with no frame in the component, summed up; empty when none.
    std::string outsideNote;
};

// componentPath is compared with each frame's object after both are
// resolved, so a symbolic link to the library counts as the library.
MemcheckFindings JudgeMemcheckErrors(const std::vector<MemcheckError>& errors, const std::string& componentPath);

}  // namespace checks::runner
