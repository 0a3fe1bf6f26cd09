#include "vector_file.h"

#include <cctype>
#include <fstream>
#include <stdexcept>

namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<std::uint8_t> KnownAnswer::Bytes(const std::string& name) const
{
    const std::string& hex = fields.at(name);
    if (hex.size() % 2 != 0)
        throw std::runtime_error("odd hex length in field " + name);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<KnownAnswer> ReadVectorFile(const std::string& fileName)
{
    const std::string path = std::string(TARVEL_VECTOR_DIR) + "/" + fileName;
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);

    std::vector<KnownAnswer> vectors;
    KnownAnswer current;
    std::string algorithm;
    auto finish = [&](int line) {
        if (!current.fields.empty()) {
            current.algorithm = algorithm;
            current.line = line;
            vectors.push_back(current);
        }
        current = KnownAnswer();
    };

    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line = Trim(raw);
        if (!line.empty() && line[0] == '#')
            continue;
        if (line.empty()) {
            finish(lineNumber);
        } else if (line.front() == '[' && line.back() == ']') {
            finish(lineNumber);
            algorithm = line.substr(1, line.size() - 2);
        } else {
            const auto equals = line.find('=');
            if (equals == std::string::npos)
                throw std::runtime_error(path + ":" + std::to_string(lineNumber) + ": no '='");
            const std::string name = Trim(line.substr(0, equals));
            if (current.Has(name))
                finish(lineNumber);
            current.fields[name] = Trim(line.substr(equals + 1));
        }
    }
    finish(lineNumber);
    return vectors;
}

std::string HexOf(const std::uint8_t* bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex.push_back(digits[bytes[i] >> 4]);
        hex.push_back(digits[bytes[i] & 0xF]);
    }
    return hex;
}
