// Rendering of word arrays as text, and random test data.
#pragma once

#include "runtime/cstring.h"

#include <cstdint>

// The words as one hexadecimal number, most significant byte first: two
// lowercase digits per byte, a blank after every 8 bytes counted from the
// least significant end. A count of 0 or less gives "".
CString FormatHex(const std::uint32_t* words, int count);

// Overwrites the 4 * count bytes of words from the last byte to the first,
// each with the low 8 bits of the next crt::rand() value. Nothing is drawn
// for a count of 0 or less.
void FillRandom(std::uint32_t* words, int count);
