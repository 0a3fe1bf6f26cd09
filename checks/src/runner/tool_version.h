// The version of tarvel-check, the project's own (CMake's project version).
#pragma once

namespace checks {

// "1.0.0.1".
const char* ToolVersion();

}  // namespace checks
