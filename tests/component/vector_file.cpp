#include "vector_file.h"

#include "component_objects.h"

#include <filesystem>
#include <stdexcept>

std::vector<VectorRecord> ReadVectorFile(const std::string& fileName)
{
    const std::string path = std::string(TARVEL_VECTOR_DIR) + "/" + fileName;
    if (!std::filesystem::is_regular_file(path))
        throw std::runtime_error("no vector file " + path);
    std::string error;
    auto records = checks::vectors::ParseVectorRecords(ReadWholeFile(path), error);
    if (!records)
        throw std::runtime_error(path + ": " + error);
    if (records->empty())
        throw std::runtime_error(path + " holds no vectors");
    return std::move(*records);
}

const std::string& Field(const VectorRecord& record, std::string_view key)
{
    const std::string* value = record.Get(key);
    if (!value)
        throw std::runtime_error("no field " + std::string(key) + " in the vector at line " +
                                 std::to_string(record.line));
    return *value;
}

std::vector<std::uint8_t> FieldBytes(const VectorRecord& record, std::string_view key)
{
    auto bytes = checks::support::FromHex(Field(record, key));
    if (!bytes)
        throw std::runtime_error("the field " + std::string(key) + " of the vector at line " +
                                 std::to_string(record.line) + " is not hex");
    return std::move(*bytes);
}
