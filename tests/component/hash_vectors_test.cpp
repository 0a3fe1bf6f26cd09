// SHA-1 and MD5 against published known answers, through the interface.
#include "component_objects.h"
#include "vector_file.h"

#include <common/hex_format.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The message of a vector: In, repeated Repeat times when given.
std::vector<std::uint8_t> MessageOf(const VectorRecord& vector)
{
    const std::vector<std::uint8_t> unit = FieldBytes(vector, "In");
    const long repeat = vector.Get("Repeat") ? std::strtol(vector.Get("Repeat")->c_str(), nullptr, 10) : 1;
    std::vector<std::uint8_t> message;
    message.reserve(unit.size() * static_cast<std::size_t>(repeat));
    for (long i = 0; i < repeat; ++i)
        message.insert(message.end(), unit.begin(), unit.end());
    return message;
}

template <class Hash>
void CheckVectors(Hash* hash, const std::string& fileName, const std::string& algorithm, std::uint32_t size)
{
    const std::vector<VectorRecord> vectors = ReadVectorFile(fileName);
    int checked = 0;
    for (const VectorRecord& vector : vectors) {
        if (vector.section != algorithm)
            continue;
        SCOPED_TRACE(fileName + " vector at line " + std::to_string(vector.line));
        const std::vector<std::uint8_t> message = MessageOf(vector);
        // The same object serves every vector: each HashData starts afresh.
        ASSERT_EQ(
            hash->HashData(message.empty() ? nullptr : message.data(), static_cast<std::uint32_t>(message.size())),
            S_OK);
        std::vector<std::uint8_t> digest(size);
        ASSERT_EQ(hash->GetHash(digest.data()), S_OK);
        EXPECT_EQ(HexBytes(digest.data(), digest.size()), Field(vector, "Out"));
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no " << algorithm << " vectors in " << fileName;
}

template <class Hash>
void CheckCarelessCalls(Hash* hash, std::uint32_t expectedSize)
{
    std::uint32_t size = 0;
    EXPECT_EQ(hash->GetHashSize(&size), S_OK);
    EXPECT_EQ(size, expectedSize);
    EXPECT_EQ(hash->GetHashSize(nullptr), E_POINTER);

    std::vector<std::uint8_t> digest(expectedSize, 0xAA);
    EXPECT_LT(hash->GetHash(digest.data()), 0) << "a digest before any data";
    EXPECT_EQ(digest, std::vector<std::uint8_t>(expectedSize, 0xAA));
    EXPECT_EQ(hash->HashData(nullptr, 1), E_POINTER);
    EXPECT_LT(hash->GetHash(digest.data()), 0) << "a refused input leaves no digest";

    const std::uint8_t abc[] = {'a', 'b', 'c'};
    ASSERT_EQ(hash->HashData(abc, 3), S_OK);
    EXPECT_EQ(hash->GetHash(nullptr), E_POINTER);
    ASSERT_EQ(hash->GetHash(digest.data()), S_OK);
    EXPECT_EQ(hash->HashData(nullptr, 1), E_POINTER);
    EXPECT_LT(hash->GetHash(digest.data()), 0) << "a refused input drops the previous input's digest";
}

}  // namespace

TEST(Sha1, MatchesFips180Vectors)
{
    ComPtr<IHashSHA1> sha1 = NewSha1();
    CheckVectors(sha1.Get(), "sha1.vec", "SHA-1", kSha1DigestBytes);
}

TEST(Md5, MatchesRfc1321Vectors)
{
    ComPtr<IHashMD5> md5 = NewMd5();
    CheckVectors(md5.Get(), "md5.vec", "MD5", kMd5DigestBytes);
}

TEST(Sha1, RefusesCarelessCalls)
{
    ComPtr<IHashSHA1> sha1 = NewSha1();
    CheckCarelessCalls(sha1.Get(), kSha1DigestBytes);
}

TEST(Md5, RefusesCarelessCalls)
{
    ComPtr<IHashMD5> md5 = NewMd5();
    CheckCarelessCalls(md5.Get(), kMd5DigestBytes);
}
