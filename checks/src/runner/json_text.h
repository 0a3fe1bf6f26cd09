// Text as a JSON string literal, for every report this tool writes.
#pragma once

#include <string>

namespace checks {

// Quotes and escapes text so that the literal is valid JSON and valid UTF-8
// whatever bytes it holds: control characters become \u escapes, bytes that
// are not well-formed UTF-8 the visible text "\xHH" (see utf8_text.h).
std::string JsonString(const std::string& text);

}  // namespace checks
