// The framework's basic types and constants, as the programs' code uses them.
#pragma once

#include <cstdint>

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

// Dialog results and standard control ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Message box styles: only a single OK button is ever used.
inline constexpr UINT MB_OK = 0x0;

// File dialog flags.
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
