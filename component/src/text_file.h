// Reading a small file whole, refusing anything that is not a regular file
// of at most maxBytes.
#pragma once

#include <tarvel/com.h>

#include <cstddef>
#include <string>

namespace tarvel::component {

// The contents are read into text's own storage and nowhere else, and text
// keeps that storage when it shrinks to the file's size, so wiping
// text.data() for text.capacity() bytes afterwards reaches every copy.
HRESULT ReadSmallTextFile(const char* path, std::size_t maxBytes, std::string& text);

}  // namespace tarvel::component
