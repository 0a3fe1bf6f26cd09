#pragma once

#include <cstdint>

// An unsigned 32-bit value from two draws of crt::rand(): the first supplies
// bits 0-15, the second bits 16-31. rand() stays below 32768, so bits 15 and
// 31 are always zero.
std::uint32_t RandomDword();
