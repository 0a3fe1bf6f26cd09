#include "runner/tool_version.h"

namespace checks {

const char* ToolVersion()
{
    // Given by the build for this one file, so a new version rebuilds no more.
    return TARVEL_CHECK_VERSION;
}

}  // namespace checks
