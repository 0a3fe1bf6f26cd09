// What a key file holds, read without trusting its format: every PEM block's
// body, a private key OpenSSL can decode from it or from the raw bytes, and
// the key's private numbers in each encoding the check can derive (big- and
// little-endian bytes, hex in either case, decimal, with or without blanks
// and colons between the digits).
#pragma once

#include "suites/number_words.h"

#include <array>
#include <string>
#include <vector>

namespace checks::support {

// One line per private number or private key found: "d as big-endian bytes
// in the PEM block 'PRIVATE KEY'". Empty when the file holds none.
std::vector<std::string> FindPrivateMaterial(const std::string& file, const std::array<Words, 8>& key);

// The first "-----BEGIN X-----" label of a PEM file ("PRIVATE KEY"), or "".
std::string FirstPemLabel(const std::string& file);

}  // namespace checks::support
