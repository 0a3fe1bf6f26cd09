// Text from anywhere (a component, a path, a vector file, the environment)
// made fit for a report that must be valid UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace checks {

// The length of the well-formed UTF-8 sequence at text[at] (RFC 3629: no
// overlong form, no surrogate, nothing above U+10FFFF), with its code point
// in codePoint; 0 when the byte there does not start one.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t at, char32_t& codePoint);

// "\xHH": how a report shows a byte it cannot carry as it is.
std::string ShownByte(unsigned char byte);

// Each well-formed sequence kept as it is, every other byte shown as "\xHH".
std::string ValidUtf8(const std::string& text);

// ValidUtf8, with control characters (C0 but line feed and tab, DEL, C1)
// shown as "\xHH" too, so that text from a component cannot move a
// terminal's cursor or change its colours.
std::string TerminalText(const std::string& text);

}  // namespace checks
