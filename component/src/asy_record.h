// The .asy key record: a small UTF-8 text holding the user id, the code and
// the eight key numbers, one "name=value" line each after a header line.
// Texts are stored with '%', control characters and bytes that are not
// UTF-8 written as %HH; numbers in lowercase hex, most significant digit
// first; an absent number has an empty value. See crypto/README.md.
#pragma once

#include "rsa_numbers.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tarvel::component {

// Limits that keep a record small; the object refuses longer values.
inline constexpr std::uint32_t kLargestNumberWords = 256;
inline constexpr std::uint32_t kMaxTextBytes = 4096;
inline constexpr std::size_t kMaxAsyRecordBytes = 64 * 1024;

struct AsyRecord {
    std::string userId;
    std::string code;
    RsaNumbers numbers;
};

// The record's text. It holds private key numbers: the caller wipes it.
std::string FormatAsyRecord(const AsyRecord& record);

// The record in text, or nothing when text is not a well-formed record.
std::optional<AsyRecord> ParseAsyRecord(const std::string& text);

}  // namespace tarvel::component
