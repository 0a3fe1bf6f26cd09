// Text as a JSON string literal, for every report this tool writes.
#pragma once

#include <string>

namespace checks {

// Quotes and escapes text; control characters become \u escapes, other
// bytes pass through (reports are UTF-8).
std::string JsonString(const std::string& text);

}  // namespace checks
