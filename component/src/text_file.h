// Reading a small file whole, refusing anything that is not a regular file
// of at most maxBytes.
#pragma once

#include <tarvel/com.h>

#include <cstddef>
#include <string>

namespace tarvel::component {

// The text keeps its capacity from the start, so it can be wiped reliably.
HRESULT ReadSmallTextFile(const char* path, std::size_t maxBytes, std::string& text);

}  // namespace tarvel::component
