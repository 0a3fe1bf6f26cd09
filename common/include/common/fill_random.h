// Random test data drawn from the runtime's rand, in the order the programs
// have always drawn it.
#pragma once

#include <cstdint>

// Overwrites the 4 * count bytes of words from the last byte to the first,
// each with the low 8 bits of the next crt::rand() value. Nothing is drawn
// for a count of 0 or less.
void FillRandom(std::uint32_t* words, int count);
