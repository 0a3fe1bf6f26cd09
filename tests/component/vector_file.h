// The component's known-answer files (tests/data/vectors), read by
// tarvel-check's own record reader, so the tests and the checker agree on
// what the files say.
#pragma once

#include "suites/vectors_records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using checks::vectors::VectorRecord;

// The records of a file of tests/data/vectors; throws std::runtime_error when
// the file is missing, does not parse or holds no record.
std::vector<VectorRecord> ReadVectorFile(const std::string& fileName);

// A field's text, and its bytes; both throw std::runtime_error when the
// field is missing, the bytes also when it is not hex.
const std::string& Field(const VectorRecord& record, std::string_view key);
std::vector<std::uint8_t> FieldBytes(const VectorRecord& record, std::string_view key);
