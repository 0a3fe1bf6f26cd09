// Known-answer vector files: "[ALGORITHM]" section lines, "Name = hex"
// fields, '#' comments; a blank line or a repeated field ends a vector.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct KnownAnswer {
    std::string algorithm;
    std::map<std::string, std::string> fields;
    int line = 0;  // where the vector ends, for failure messages

    std::vector<std::uint8_t> Bytes(const std::string& name) const;
    bool Has(const std::string& name) const { return fields.count(name) != 0; }
};

// Throws std::runtime_error when the file is missing or malformed.
std::vector<KnownAnswer> ReadVectorFile(const std::string& fileName);

// Hex text of bytes, lowercase, for comparisons with a vector's fields.
std::string HexOf(const std::uint8_t* bytes, std::size_t size);
