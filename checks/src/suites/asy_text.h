// The .asy key record as documented: "tarvel-asy 1", then one name=value
// line for each of user-id, code and the eight numbers, texts escaped as
// %HH, numbers in lowercase hex without leading zeros. The checks write
// records with it (good and broken ones) and read what a component saved.
#pragma once

#include "suites/number_words.h"

#include <array>
#include <string>
#include <string_view>

namespace checks::support {

// The field names in record order: user-id, code, then the numbers in
// getter order.
extern const std::array<const char*, 10> kAsyFields;

struct AsyRecord {
    std::string userId;
    std::string code;
    std::array<Words, 8> numbers;
};

struct AsyReading {
    AsyRecord record;
    // Empty when the text is a record in the documented format.
    std::string problem;
    // The problem is only spelling (a text byte left unescaped that the
    // reader still reads as meant, uppercase hex, leading zeros), not a
    // field lost, forged or unreadable.
    bool onlySpelling = false;
};

// The text as the record escapes it: printable ASCII but '%' as is, valid
// UTF-8 sequences as is, every other byte as %HH.
std::string EscapeAsyText(std::string_view text);
std::string FormatAsyRecord(const AsyRecord& record);
AsyReading ReadAsyRecord(std::string_view text);

}  // namespace checks::support
