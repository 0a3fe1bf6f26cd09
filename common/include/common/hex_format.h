// Rendering of bytes and word arrays as hexadecimal text: the one spelling of
// hex the programs, the engine and the checker share (lowercase, two digits a
// byte), and the reading of it back.
#pragma once

#include "runtime/cstring.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The words as one hexadecimal number, most significant byte first: two
// lowercase digits per byte, a blank after every 8 bytes counted from the
// least significant end. A count of 0 or less gives "".
CString FormatHex(const std::uint32_t* words, int count);

// The bytes in their own order, two lowercase digits each, nothing between:
// how digests, keys and blocks read in reports and known-answer files.
std::string HexBytes(const void* data, std::size_t count);
// The two digits of one byte appended to text.
void AppendHexByte(std::string& text, std::uint8_t byte);

// The value of one hex digit, either case; -1 for any other character.
int HexDigitValue(char c);
// Two digits a byte, either case, nothing between; nullopt for an odd
// length or any other character.
std::optional<std::vector<std::uint8_t>> BytesFromHex(std::string_view hex);
