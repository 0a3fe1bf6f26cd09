// Reading the dialogs' hex texts back in tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The text without its blanks.
inline std::string DigitsOf(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    return digits;
}

// Two-digit byte groups in the opposite order: "0a0b0c" -> "0c0b0a".
inline std::string ReversedBytes(const std::string& hex)
{
    std::string reversed;
    for (std::size_t i = hex.size(); i >= 2; i -= 2)
        reversed += hex.substr(i - 2, 2);
    return reversed;
}

inline std::string HexOf(const std::vector<std::uint8_t>& bytes)
{
    std::string hex;
    char pair[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

// Words as the fake records them: 8 digits each, word 0 first, ','-joined.
inline std::string FakeWords(std::initializer_list<std::uint32_t> words)
{
    std::string text;
    char word[9];
    for (std::uint32_t value : words) {
        if (!text.empty())
            text += ',';
        std::snprintf(word, sizeof word, "%08x", value);
        text += word;
    }
    return text;
}
