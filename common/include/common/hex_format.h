// Rendering of word arrays as hexadecimal text.
#pragma once

#include "runtime/cstring.h"

#include <cstdint>

// The words as one hexadecimal number, most significant byte first: two
// lowercase digits per byte, a blank after every 8 bytes counted from the
// least significant end. A count of 0 or less gives "".
CString FormatHex(const std::uint32_t* words, int count);
