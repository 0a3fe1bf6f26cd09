// Text as XML 1.0 character data or attribute values, for the JUnit report.
#pragma once

#include <string>

namespace checks {

// Escapes markup (& < > " ') and makes any bytes fit XML 1.0: bytes that are
// not well-formed UTF-8, and the characters XML 1.0 cannot carry even as a
// reference (controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF), become the visible text "\xHH" of each byte. A carriage return is
// kept as a reference, so no parser turns it into a line feed.
std::string XmlText(const std::string& text);

// The same for an attribute value, where tab and line feed are kept as
// references too, since a parser would otherwise turn them into blanks.
std::string XmlAttribute(const std::string& text);

}  // namespace checks
