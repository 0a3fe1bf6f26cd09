// What is wrong with the eight numbers of an RSA key, told by arithmetic:
// each problem names the number and why ("e = 1: ...", "p = q: ...",
// "q is not prime"), so a broken key is reported as the key it is and not
// as a fault of the slots that handed it out.
#pragma once

#include "suites/number_words.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace checks::support {

// The numbers in getter order: n, e, d, p, q, d mod (p-1), d mod (q-1),
// q^-1 mod p. keyWords 0 leaves the base's length unjudged. Empty when the
// key is sound.
std::vector<std::string> AuditKeyNumbers(const std::array<Words, 8>& key, std::uint32_t keyWords);

}  // namespace checks::support
